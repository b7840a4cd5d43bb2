#include "registration/rc_writer.h"

#include <cstdio>

namespace {

constexpr size_t kWordsPerLine = 8;

std::string wordText(uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", unsigned(value));
  return text;
}

std::string oddByteText(uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "\"\\x%02X\"", unsigned(value));
  return text;
}

// The items of the data list, in order, without separators.
std::vector<std::string> dataItems(const std::vector<uint8_t>& data) {
  std::vector<std::string> items;
  size_t i = 0;
  for (; i + 1 < data.size(); i += 2)
    items.push_back(wordText(uint16_t(data[i] | data[i + 1] << 8)));
  if (i < data.size()) items.push_back(oddByteText(data[i]));
  return items;
}

}  // namespace

std::string userResourceText(const std::string& typeName, int id,
                             const std::vector<uint8_t>& data) {
  std::string text = std::to_string(id) + " " + typeName + "\nBEGIN\n";
  std::vector<std::string> items = dataItems(data);
  for (size_t i = 0; i < items.size(); ++i) {
    text += (i % kWordsPerLine == 0) ? "  " : " ";
    text += items[i];
    if (i + 1 < items.size()) text += ",";
    if (i % kWordsPerLine == kWordsPerLine - 1 || i + 1 == items.size()) text += "\n";
  }
  return text + "END\n";
}
