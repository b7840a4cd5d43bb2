// The small printf dialect of text labels, kept apart from drawing so it can be tested alone.
//
// Contract: a format that does not begin with "%" is literal text; otherwise it is read as a
// run of two-character conversions at positions 0, 2, 4, ...: "%s" a string (null prints
// nothing), "%i" an int, "%f" a double printed with one decimal ("%3.1f"); any other character
// in a conversion's place prints nothing and takes no argument, and whatever sits between the
// conversions is ignored. text has room for capacity bytes including the terminating NUL and is
// never written past them: conversions that would produce more are cut off. A literal that
// does not fit leaves text unchanged and the call answers false.
#pragma once

#include <cstdarg>
#include <cstddef>

bool composeLabelText(char* text, size_t capacity, const char* format, va_list args);
