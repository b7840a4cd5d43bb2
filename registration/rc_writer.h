// Writes binary resource data as resource-script text that windres compiles back to exactly
// the same bytes: a user-defined resource of the given type name and integer id, its data as a
// list of 16-bit words (each the little-endian pair of two bytes) and, for an odd size, the
// last byte as a one-character string with a hex escape. Plain ASCII only, so no code page
// of the resource compiler can alter a byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::string userResourceText(const std::string& typeName, int id, const std::vector<uint8_t>& data);
