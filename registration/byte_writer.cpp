#include "registration/byte_writer.h"

void ByteWriter::byte(uint8_t value) { bytes_.push_back(value); }

void ByteWriter::word(uint16_t value) {
  byte(uint8_t(value));
  byte(uint8_t(value >> 8));
}

void ByteWriter::dword(uint32_t value) {
  word(uint16_t(value));
  word(uint16_t(value >> 16));
}

void ByteWriter::bytes(const std::vector<uint8_t>& data) {
  bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void ByteWriter::pascalString(const std::string& text) {
  if (text.size() > 255) {
    ok_ = false;
    return;
  }
  byte(uint8_t(text.size()));
  bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void ByteWriter::cString(const std::string& text) {
  // A NUL inside would end the string early for every reader.
  if (text.find('\0') != std::string::npos) ok_ = false;
  bytes_.insert(bytes_.end(), text.begin(), text.end());
  byte(0);
}
