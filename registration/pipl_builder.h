// Builds a plug-in property list in its Windows resource form: a reserved word 1, version 0
// and the property count, then per property vendor, key, id 0, length and data. Every
// property's data is zero-padded to a multiple of four and the stored length is the padded
// one, because some hosts step from property to property by exactly 16 + stored length.
// The property helpers return the unpadded data of one property; buildPropertyList pads.
// Failure returns an empty vector (a valid list never is): a helper returns it for data it
// cannot encode, and buildPropertyList for any property whose data is empty.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct PiplProperty {
  uint32_t vendor;
  uint32_t key;
  std::vector<uint8_t> data;
};

// One row of the filter case table: how the host prepares the input and treats the output
// for that kind of layer and selection.
struct FilterCaseEntry {
  uint8_t inputHandling;
  uint8_t outputHandling;
  uint8_t flags1;
  uint8_t flags2;
};

// The scripting link: the event the host records for the filter, and the id of the
// terminology resource that names its parameters.
struct ScriptingLink {
  int32_t version;
  uint32_t eventClass;
  uint32_t eventId;
  int16_t terminologyId;
  std::string scope;
};

std::vector<uint8_t> codeProperty(uint32_t code);
std::vector<uint8_t> int32Property(int32_t value);
std::vector<uint8_t> pascalStringProperty(const std::string& text);
std::vector<uint8_t> cStringProperty(const std::string& text);
// The supported image modes as the host's bit string: mode 0 is the top bit of the first byte.
// Modes outside 0..31 make the result empty.
std::vector<uint8_t> modeProperty(const std::vector<int>& imageModes);
// Seven cases, the first for filter case 1.
std::vector<uint8_t> filterCaseProperty(const std::array<FilterCaseEntry, 7>& cases);
std::vector<uint8_t> scriptingProperty(const ScriptingLink& link);

std::vector<uint8_t> buildPropertyList(const std::vector<PiplProperty>& properties);
