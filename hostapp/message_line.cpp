#include "hostapp/message_line.h"

std::string messageLine(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string line;
  for (const char c : text) {
    if (line.size() >= kMaxMessageBytes) {
      line += "...";
      break;
    }
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
      line += c;
    } else if (c == '\n') {
      line += "\\n";
    } else if (c == '\t') {
      line += "\\t";
    } else if (c == '\r') {
      line += "\\r";
    } else {
      line += "\\x";
      line += kHex[byte >> 4];
      line += kHex[byte & 15];
    }
  }
  return line;
}
