// Little-endian byte assembly for the Windows forms of the host's registration resources.
// A ByteWriter owns the bytes it appends to. Four-character codes are written as the x86
// host holds them in memory: the 32-bit code little-endian, so 'kind' lands as "dnik".
// Pascal strings are a length byte and the characters; one longer than 255 characters cannot
// be encoded and marks the writer as failed (ok() false) instead of being cut short; so does a
// C string with a NUL inside it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ByteWriter {
 public:
  void byte(uint8_t value);
  void word(uint16_t value);
  void dword(uint32_t value);
  void code(uint32_t fourCharacterCode) { dword(fourCharacterCode); }
  void bytes(const std::vector<uint8_t>& data);
  void pascalString(const std::string& text);
  void cString(const std::string& text);

  bool ok() const { return ok_; }
  const std::vector<uint8_t>& data() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  bool ok_ = true;
};
