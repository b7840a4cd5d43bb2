// One error line from text that may hold anything a user typed or a file contained.
//
// Control characters (newlines, escapes, NULs) and DEL become visible escapes (\n, \t, \r,
// \xHH), so a file named "a\nb.png" cannot split the message or steer the terminal, and the
// line is cut to kMaxMessageBytes with "..." so a hostile header cannot flood the screen.
// Bytes of 0x80 and above pass as they are: they are most likely UTF-8 in a file name.
#pragma once

#include <cstddef>
#include <string>

constexpr size_t kMaxMessageBytes = 1024;

std::string messageLine(const std::string& text);
