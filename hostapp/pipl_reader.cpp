#include "hostapp/pipl_reader.h"

#include <cctype>
#include <cstring>

#include "hostapi/constants.h"

namespace {

constexpr size_t kHeaderSize = 10;
constexpr size_t kPropertyHeaderSize = 16;
constexpr OSType kFilterKind = fourCharCode("8BFM");
constexpr int32 kLatestVersion = latestFilterVersion << 16 | latestFilterSubVersion;

uint32 littleEndian32(const uint8* bytes) {
  return uint32(bytes[0]) | uint32(bytes[1]) << 8 | uint32(bytes[2]) << 16 | uint32(bytes[3]) << 24;
}

uint16 littleEndian16(const uint8* bytes) { return uint16(bytes[0] | bytes[1] << 8); }

bool cStringAt(const uint8* data, size_t length, std::string& value) {
  const void* end = std::memchr(data, 0, length);
  if (!end) return false;
  value.assign(reinterpret_cast<const char*>(data), size_t(static_cast<const uint8*>(end) - data));
  return true;
}

}  // namespace

bool readPropertyList(const uint8* bytes, size_t size, std::vector<PiplEntry>& entries,
                      std::string& error) {
  entries.clear();
  if (size < kHeaderSize) {
    error = "property list shorter than its header";
    return false;
  }
  if (littleEndian16(bytes) != 1 || littleEndian32(bytes + 2) != 0) {
    error = "property list of an unknown version";
    return false;
  }
  uint32 count = littleEndian32(bytes + 6);
  size_t offset = kHeaderSize;
  for (uint32 i = 0; i < count; ++i) {
    if (size - offset < kPropertyHeaderSize) {
      error = "property " + std::to_string(i) + " lies beyond the end of the list";
      return false;
    }
    const uint8* header = bytes + offset;
    uint32 length = littleEndian32(header + 12);
    if (length > size - offset - kPropertyHeaderSize) {
      error = "property " + std::to_string(i) + " is longer than the list";
      return false;
    }
    entries.push_back({littleEndian32(header), littleEndian32(header + 4),
                       int32(littleEndian32(header + 8)), header + kPropertyHeaderSize, length});
    // An unpadded last property may end short of its rounded length: clamp, so that a
    // further property the count claims is reported missing rather than read.
    offset += kPropertyHeaderSize + (size_t(length) + 3) / 4 * 4;
    if (offset > size) offset = size;
  }
  return true;
}

const PiplEntry* findProperty(const std::vector<PiplEntry>& entries, OSType key) {
  for (const PiplEntry& entry : entries)
    if (entry.vendor == kPhotoshopSignature && entry.key == key) return &entry;
  return nullptr;
}

bool propertyCode(const PiplEntry& entry, OSType& value) {
  if (entry.length < 4) return false;
  value = littleEndian32(entry.data);
  return true;
}

bool propertyInt32(const PiplEntry& entry, int32& value) {
  if (entry.length < 4) return false;
  value = int32(littleEndian32(entry.data));
  return true;
}

bool propertyPascalString(const PiplEntry& entry, std::string& value) {
  if (entry.length < 1 || entry.data[0] > entry.length - 1) return false;
  value.assign(reinterpret_cast<const char*>(entry.data + 1), entry.data[0]);
  return true;
}

bool propertyCString(const PiplEntry& entry, std::string& value) {
  return cStringAt(entry.data, entry.length, value);
}

bool propertyScripting(const PiplEntry& entry, PiplScripting& value) {
  constexpr size_t kScopeOffset = 14;
  if (entry.length <= kScopeOffset) return false;
  value.version = int32(littleEndian32(entry.data));
  value.eventClass = littleEndian32(entry.data + 4);
  value.eventId = littleEndian32(entry.data + 8);
  value.terminologyId = int16(littleEndian16(entry.data + 12));
  return cStringAt(entry.data + kScopeOffset, entry.length - kScopeOffset, value.scope);
}

namespace {

bool requiredString(const std::vector<PiplEntry>& entries, const char (&key)[5],
                    bool (*decode)(const PiplEntry&, std::string&), std::string& value,
                    std::string& error) {
  const PiplEntry* entry = findProperty(entries, fourCharCode(key));
  if (!entry || !decode(*entry, value) || value.empty()) {
    error = std::string("no usable '") + key + "' property";
    return false;
  }
  return true;
}

std::string keyText(OSType key) {
  return {char(key >> 24), char(key >> 16), char(key >> 8), char(key)};
}

// The entry point under the machine's own key. A module built for the other machine usually
// carries only that machine's key, so its absence gets a message of its own.
bool entryPoint(const std::vector<PiplEntry>& entries, ModuleMachine machine, std::string& value,
                std::string& error) {
  OSType key = entryPointKey(machine);
  const PiplEntry* entry = findProperty(entries, key);
  if (!entry) {
    error = "no '" + keyText(key) + "' property: the module names no entry point for " +
            machineName(machine) + " hosts";
    return false;
  }
  if (!propertyCString(*entry, value) || value.empty()) {
    error = "no usable '" + keyText(key) + "' property";
    return false;
  }
  return true;
}

bool checkKindAndVersion(const std::vector<PiplEntry>& entries, FilterRegistration& registration,
                         std::string& error) {
  const PiplEntry* kind = findProperty(entries, fourCharCode("kind"));
  OSType kindCode = 0;
  if (!kind || !propertyCode(*kind, kindCode) || kindCode != kFilterKind) {
    error = "not a filter module (kind is not '8BFM')";
    return false;
  }
  const PiplEntry* version = findProperty(entries, fourCharCode("vers"));
  if (!version || !propertyInt32(*version, registration.version)) {
    error = "no interface version ('vers')";
    return false;
  }
  if (registration.version > kLatestVersion) {
    error = "needs a later host interface than 4.0";
    return false;
  }
  return true;
}

void readOptionalProperties(const std::vector<PiplEntry>& entries,
                            FilterRegistration& registration) {
  const PiplEntry* modes = findProperty(entries, fourCharCode("mode"));
  registration.hasModes = modes != nullptr;
  registration.modes.fill(0);
  if (modes)
    std::memcpy(registration.modes.data(), modes->data, modes->length < 4 ? modes->length : 4);
  const PiplEntry* condition = findProperty(entries, fourCharCode("enbl"));
  // A condition without its NUL stays empty, which no evaluation accepts: still the deciding
  // condition, and one that keeps the item disabled.
  registration.hasEnableCondition = condition != nullptr;
  if (condition && !propertyCString(*condition, registration.enableCondition))
    registration.enableCondition.clear();
}

}  // namespace

bool readFilterRegistration(const uint8* bytes, size_t size, FilterRegistration& registration,
                            std::string& error, ModuleMachine machine) {
  registration = FilterRegistration();
  std::vector<PiplEntry> entries;
  if (!readPropertyList(bytes, size, entries, error) ||
      !checkKindAndVersion(entries, registration, error) ||
      !entryPoint(entries, machine, registration.entryPoint, error) ||
      !requiredString(entries, "name", propertyPascalString, registration.name, error) ||
      !requiredString(entries, "catg", propertyPascalString, registration.category, error))
    return false;
  readOptionalProperties(entries, registration);
  return true;
}

bool modeListed(const FilterRegistration& registration, int16 imageMode) {
  if (!registration.hasModes || imageMode < 0 || imageMode >= 32) return false;
  return (registration.modes[size_t(imageMode / 8)] & (0x80 >> (imageMode % 8))) != 0;
}

namespace {

struct NamedValue {
  const char* name;
  int value;
};

// The mode names an enabling condition may use, with the host's mode numbers.
constexpr NamedValue kModeNames[] = {
    {"BitmapMode", 0},
    {"GrayScaleMode", 1},
    {"IndexedMode", 2},
    {"RGBMode", 3},
    {"CMYKMode", 4},
    {"HSLMode", 5},
    {"HSBMode", 6},
    {"MultichannelMode", 7},
    {"DuotoneMode", 8},
    {"LabMode", 9},
    {"Gray16Mode", 10},
    {"RGB48Mode", 11},
    {"Lab48Mode", 12},
    {"CMYK64Mode", 13},
    {"DeepMultichannelMode", 14},
    {"Duotone16Mode", 15},
    {"RGB96Mode", 16},
    {"Gray32Mode", 17},
    {"true", 1},
    {"false", 0},
};

// Recursive descent over the condition; every value is an integer and a truth is 0 or 1.
// The first error stops the parse: ok turns false and stays false.
class ConditionParser {
 public:
  static constexpr int kMaxDepth = 64;

  ConditionParser(const std::string& text, const EnableContext& context)
      : text_(text), context_(context) {}

  bool evaluate(int& value) {
    value = orExpression();
    skipSpace();
    return ok_ && position_ == text_.size();
  }

 private:
  int orExpression() {
    int value = andExpression();
    while (accept("||")) value = andExpression() != 0 || value != 0;
    return value;
  }

  int andExpression() {
    int value = unary();
    while (accept("&&")) value = unary() != 0 && value != 0;
    return value;
  }

  // Every nesting, by parenthesis or negation, passes through here; a bound on the depth keeps
  // a hostile condition from exhausting the stack.
  int unary() {
    if (!ok_ || ++depth_ > kMaxDepth) {
      ok_ = false;
      return 0;
    }
    int value = (!peek("!=") && accept("!")) ? unary() == 0 : comparison();
    --depth_;
    return value;
  }

  int comparison() {
    int left = primary();
    if (accept("==")) return left == primary();
    if (accept("!=")) return left != primary();
    if (accept("<=")) return left <= primary();
    if (accept(">=")) return left >= primary();
    if (accept("<")) return left < primary();
    if (accept(">")) return left > primary();
    return left;
  }

  int primary() {
    if (accept("(")) {
      int value = orExpression();
      expect(")");
      return value;
    }
    std::string word = identifier();
    if (word == "in") return membership();
    if (!word.empty()) return namedValue(word);
    return number();
  }

  // in (value, candidate, candidate...): whether value equals one of the candidates.
  int membership() {
    expect("(");
    int value = orExpression();
    bool found = false;
    expect(",");
    do found = (orExpression() == value) || found;
    while (ok_ && accept(","));
    expect(")");
    return found;
  }

  int namedValue(const std::string& word) {
    if (word == "PSHOP_ImageMode") return context_.imageMode;
    if (word == "PSHOP_ImageDepth") return context_.imageDepth;
    for (const NamedValue& named : kModeNames)
      if (word == named.name) return named.value;
    ok_ = false;
    return 0;
  }

  int number() {
    skipSpace();
    size_t start = position_;
    int value = 0;
    while (position_ < text_.size() && std::isdigit(uint8(text_[position_])) && value < 1000000)
      value = value * 10 + (text_[position_++] - '0');
    if (position_ == start) ok_ = false;
    return value;
  }

  std::string identifier() {
    skipSpace();
    size_t start = position_;
    while (position_ < text_.size() &&
           (std::isalnum(uint8(text_[position_])) || text_[position_] == '_'))
      ++position_;
    if (start < position_ && std::isdigit(uint8(text_[start]))) position_ = start;
    return text_.substr(start, position_ - start);
  }

  bool peek(const char* token) {
    skipSpace();
    return text_.compare(position_, std::strlen(token), token) == 0;
  }

  bool accept(const char* token) {
    if (!ok_ || !peek(token)) return false;
    position_ += std::strlen(token);
    return true;
  }

  void expect(const char* token) {
    if (!accept(token)) ok_ = false;
  }

  void skipSpace() {
    while (position_ < text_.size() && std::isspace(uint8(text_[position_]))) ++position_;
  }

  const std::string& text_;
  const EnableContext& context_;
  size_t position_ = 0;
  int depth_ = 0;
  bool ok_ = true;
};

}  // namespace

bool evaluateEnableCondition(const std::string& condition, const EnableContext& context,
                             bool& enabled) {
  int value = 0;
  if (!ConditionParser(condition, context).evaluate(value)) return false;
  enabled = value != 0;
  return true;
}

bool filterEnabledFor(const FilterRegistration& registration, const EnableContext& context) {
  if (!registration.hasEnableCondition) return modeListed(registration, context.imageMode);
  bool enabled = false;
  return evaluateEnableCondition(registration.enableCondition, context, enabled) && enabled;
}
