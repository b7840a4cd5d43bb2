// JSON as the tool writes it: strings quoted and escaped, and the object that stands for an
// error under --json.
#pragma once

#include <string>

// `text` as a JSON string: quotes and backslashes escaped, control characters as \uXXXX.
std::string jsonString(const std::string& text);

// {"input": ..., "error": ..., "exitCode": N} on one line; input null when the error is not
// about one file (a command line refused before any file is read).
std::string jsonError(const std::string* input, const std::string& message, int exitCode);
