#include "hostapp/json_text.h"

#include <cstdio>

std::string jsonString(const std::string& text) {
  std::string result = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') result += '\\';
    if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof(escape), "\\u%04x", c);
      result += escape;
      continue;
    }
    result += c;
  }
  return result + "\"";
}

std::string jsonError(const std::string* input, const std::string& message, int exitCode) {
  return "{\"input\": " + (input != nullptr ? jsonString(*input) : std::string("null")) +
         ", \"error\": " + jsonString(message) + ", \"exitCode\": " + std::to_string(exitCode) +
         "}";
}
