#include "registration/pipl_builder.h"

#include "registration/byte_writer.h"

namespace {

std::vector<uint8_t> finished(const ByteWriter& writer) {
  return writer.ok() ? writer.data() : std::vector<uint8_t>();
}

}  // namespace

std::vector<uint8_t> codeProperty(uint32_t code) {
  ByteWriter writer;
  writer.code(code);
  return writer.data();
}

std::vector<uint8_t> int32Property(int32_t value) {
  ByteWriter writer;
  writer.dword(uint32_t(value));
  return writer.data();
}

std::vector<uint8_t> pascalStringProperty(const std::string& text) {
  ByteWriter writer;
  writer.pascalString(text);
  return finished(writer);
}

std::vector<uint8_t> cStringProperty(const std::string& text) {
  ByteWriter writer;
  writer.cString(text);
  return finished(writer);
}

std::vector<uint8_t> modeProperty(const std::vector<int>& imageModes) {
  std::vector<uint8_t> bits(4, 0);
  for (int mode : imageModes) {
    if (mode < 0 || mode > 31) return {};
    bits[size_t(mode / 8)] |= uint8_t(0x80 >> (mode % 8));
  }
  return bits;
}

std::vector<uint8_t> filterCaseProperty(const std::array<FilterCaseEntry, 7>& cases) {
  ByteWriter writer;
  for (const FilterCaseEntry& entry : cases) {
    writer.byte(entry.inputHandling);
    writer.byte(entry.outputHandling);
    writer.byte(entry.flags1);
    writer.byte(entry.flags2);
  }
  return writer.data();
}

std::vector<uint8_t> scriptingProperty(const ScriptingLink& link) {
  ByteWriter writer;
  writer.dword(uint32_t(link.version));
  writer.code(link.eventClass);
  writer.code(link.eventId);
  writer.word(uint16_t(link.terminologyId));
  writer.cString(link.scope);
  return finished(writer);
}

std::vector<uint8_t> buildPropertyList(const std::vector<PiplProperty>& properties) {
  ByteWriter writer;
  writer.word(1);
  writer.dword(0);
  writer.dword(uint32_t(properties.size()));
  for (const PiplProperty& property : properties) {
    if (property.data.empty()) return {};
    uint32_t padded = uint32_t((property.data.size() + 3) / 4 * 4);
    writer.code(property.vendor);
    writer.code(property.key);
    writer.dword(0);
    writer.dword(padded);
    writer.bytes(property.data);
    // The list starts at offset 10, so pad the data, not the running size.
    for (size_t i = property.data.size(); i < padded; ++i) writer.byte(0);
  }
  return writer.data();
}
