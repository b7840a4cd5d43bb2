// The module's registration resources: the property-list and terminology builders against
// the byte-exact worked examples of the resource formats, the Inkjet list and terminology read
// back field by field, the host-side reader's refusals and its enabling rule, and the resource
// script that the Windows build compiles.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "hostapi/constants.h"
#include "hostapp/pipl_reader.h"
#include "registration/aete_builder.h"
#include "registration/inkjet_registration.h"
#include "registration/pipl_builder.h"
#include "registration/rc_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Bytes from a hex dump's digits; any other character (spaces, newlines) is ignored.
Bytes fromHex(const std::string& hex) {
  Bytes bytes;
  std::string digits;
  for (char c : hex)
    if (std::isxdigit(uint8_t(c))) digits += c;
  for (size_t i = 0; i + 1 < digits.size(); i += 2)
    bytes.push_back(uint8_t(std::stoi(digits.substr(i, 2), nullptr, 16)));
  return bytes;
}

constexpr OSType code(const char (&text)[5]) { return fourCharCode(text); }

PiplProperty prop(const char (&key)[5], Bytes data) {
  return PiplProperty{kPhotoshopSignature, code(key), std::move(data)};
}

// ---------------------------------------------------------------------------------------------
// Worked examples of the two formats (a fictional filter), reproduced byte for byte.

TEST(RegistrationFormats, PropertyListMatchesWorkedExample) {
  const Bytes expected = fromHex(
      "0100 0000 0000 0900 0000 4d49 4238 646e 696b 0000 0000 0400 0000 4d46 4238 4d49"
      "4238 7372 6576 0000 0000 0400 0000 0000 0400 4d49 4238 656d 616e 0000 0000 1000"
      "0000 0e44 656d 6f20 4669 6c74 6572 2e2e 2e00 4d49 4238 6774 6163 0000 0000 0800"
      "0000 0444 656d 6f00 0000 4d49 4238 3638 7877 0000 0000 0c00 0000 506c 7567 696e"
      "4d61 696e 0000 4d49 4238 6564 6f6d 0000 0000 0400 0000 5840 0000 4d49 4238 6c62"
      "6e65 0000 0000 4000 0000 696e 2028 5053 484f 505f 496d 6167 654d 6f64 652c 2047"
      "7261 7953 6361 6c65 4d6f 6465 2c20 5247 424d 6f64 652c 2043 4d59 4b4d 6f64 652c"
      "204c 6162 4d6f 6465 2900 4d49 4238 6963 6966 0000 0000 1c00 0000 0101 0100 0101"
      "0100 0101 0100 0101 0100 0101 0100 0101 0100 0101 0100 4d49 4238 6d74 7368 0000"
      "0000 1000 0000 0000 0000 466f 6d64 466f 6d64 803e 0000");
  FilterCaseEntry straight{1, 1, 1, 0};
  Bytes built = buildPropertyList({
      prop("kind", codeProperty(code("8BFM"))),
      prop("vers", int32Property(0x00040000)),
      prop("name", pascalStringProperty("Demo Filter...")),
      prop("catg", pascalStringProperty("Demo")),
      prop("wx86", cStringProperty("PluginMain")),
      prop("mode", modeProperty({plugInModeGrayScale, plugInModeRGBColor, plugInModeCMYKColor,
                                 plugInModeLabColor})),
      prop("enbl",
           cStringProperty("in (PSHOP_ImageMode, GrayScaleMode, RGBMode, CMYKMode, LabMode)")),
      prop("fici", filterCaseProperty(
                       {straight, straight, straight, straight, straight, straight, straight})),
      prop("hstm", scriptingProperty({0, code("dmoF"), code("dmoF"), 16000, ""})),
  });
  ASSERT_EQ(expected.size(), 310u);
  EXPECT_EQ(built, expected);
}

TEST(RegistrationFormats, TerminologyMatchesWorkedExample) {
  const Bytes expected = fromHex(
      "0100 0100 0000 0000 0100 0b44 656d 6f20 5665 6e64 6f72 0053 6f6d 6401 0001 0001"
      "000b 4465 6d6f 2046 696c 7465 7200 466f 6d64 466f 6d64 6c6c 756e 0000 0052 6d49"
      "2300 00b0 0200 056c 6576 656c 4c6f 6d64 676e 6f6c 0a61 6e20 696e 7465 6765 7200"
      "8004 7369 7a65 5a6f 6d64 6275 6f64 0761 2066 6c6f 6174 0080 0000 0000 0000");
  TerminologyEvent event{"Demo Filter", "", code("dmoF"), code("dmoF"), typeNull, 0, code("#ImR"),
                         0xB000,        {}};
  event.parameters = {{"level", code("dmoL"), typeInteger, "an integer", 0x8000},
                      {"size", code("dmoZ"), typeFloat, "a float", 0x8000}};
  Bytes built = buildTerminology({0, 0, {{"Demo Vendor", "", code("dmoS"), 1, 1, {event}}}});
  ASSERT_EQ(expected.size(), 126u);
  EXPECT_EQ(built, expected);
}

// Data that a resource cannot hold makes the whole result empty rather than quietly cut.
TEST(RegistrationFormats, UnencodableDataGivesNoResource) {
  const std::string tooLong(256, 'x');
  EXPECT_EQ(pascalStringProperty(std::string(255, 'x')).size(), 256u);
  struct Case {
    const char* what;
    Bytes data;
  };
  const Case cases[] = {
      {"Pascal string over 255 characters", pascalStringProperty(tooLong)},
      {"C string with a NUL inside", cStringProperty(std::string("EN\0TRY", 6))},
      {"mode number beyond the bit string", modeProperty({3, 32})},
      {"negative mode number", modeProperty({-1})},
      {"scope with a NUL inside", scriptingProperty({0, 1, 1, 1, std::string("a\0b", 3)})},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(c.data.empty()) << c.what;
    EXPECT_TRUE(
        buildPropertyList({prop("kind", codeProperty(code("8BFM"))), prop("name", c.data)}).empty())
        << c.what;
  }
  TerminologyEvent event{tooLong, "", 1, 1, typeNull, 0, 1, 0, {}};
  EXPECT_TRUE(buildTerminology({0, 0, {{"Vendor", "", 1, 1, 1, {event}}}}).empty());
}

// ---------------------------------------------------------------------------------------------
// Inkjet's own property list, read back with the host's reader.

class InkjetPropertyList : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = inkjetPropertyList();
    std::string error;
    ASSERT_TRUE(readPropertyList(bytes_.data(), bytes_.size(), entries_, error)) << error;
  }

  const PiplEntry& property(const char (&key)[5]) {
    const PiplEntry* entry = findProperty(entries_, code(key));
    EXPECT_NE(entry, nullptr) << key;
    static const PiplEntry missing{0, 0, 0, nullptr, 0};
    return entry ? *entry : missing;
  }

  Bytes data(const char (&key)[5]) {
    const PiplEntry& entry = property(key);
    return entry.data ? Bytes(entry.data, entry.data + entry.length) : Bytes();
  }

  Bytes bytes_;
  std::vector<PiplEntry> entries_;
};

TEST_F(InkjetPropertyList, HoldsTenPaddedPropertiesInOrder) {
  const OSType keys[] = {code("kind"), code("name"), code("catg"), code("vers"), code("wx86"),
                         code("8664"), code("hstm"), code("mode"), code("enbl"), code("fici")};
  ASSERT_EQ(entries_.size(), 10u);
  size_t end = 10;
  for (size_t i = 0; i < entries_.size(); ++i) {
    EXPECT_EQ(entries_[i].key, keys[i]) << i;
    EXPECT_EQ(entries_[i].vendor, code("8BIM")) << i;
    EXPECT_EQ(entries_[i].id, 0) << i;
    EXPECT_EQ(entries_[i].length % 4, 0u) << i;
    end += 16 + entries_[i].length;
  }
  // Stepping by exactly the stored lengths, as the strictest hosts do, lands on the end.
  EXPECT_EQ(end, bytes_.size());
}

TEST_F(InkjetPropertyList, EveryPropertySaysWhatTheHostNeeds) {
  OSType kind = 0;
  int32 version = 0;
  std::string name, category, entryPoint, condition;
  EXPECT_TRUE(propertyCode(property("kind"), kind));
  EXPECT_EQ(kind, code("8BFM"));
  EXPECT_EQ(data("kind"), fromHex("4d 46 42 38"));
  EXPECT_TRUE(propertyPascalString(property("name"), name));
  EXPECT_EQ(name, "Inkjet...");
  EXPECT_TRUE(propertyPascalString(property("catg"), category));
  EXPECT_EQ(category, "orv Brindlecraft 1.0e");
  EXPECT_TRUE(propertyInt32(property("vers"), version));
  EXPECT_EQ(version, 0x00040000);
  // One list for both modules: hosts that take the last entry property of either key must
  // find the same export.
  std::string entryPoint64;
  EXPECT_TRUE(propertyCString(property("wx86"), entryPoint));
  EXPECT_TRUE(propertyCString(property("8664"), entryPoint64));
  EXPECT_EQ(entryPoint, "ENTRYPOINT");
  EXPECT_EQ(entryPoint64, "ENTRYPOINT");
  EXPECT_EQ(data("8664"), fromHex("45 4e 54 52 59 50 4f 49 4e 54 00 00"));
  EXPECT_TRUE(propertyCString(property("enbl"), condition));
  EXPECT_EQ(condition, "in (PSHOP_ImageMode, RGBMode, CMYKMode, GrayScaleMode, LabMode)");
  // Gray, RGB, CMYK, HSL, HSB in the first byte, Lab in the second.
  EXPECT_EQ(data("mode"), fromHex("5e 40 00 00"));
  Bytes cases;
  for (int i = 0; i < 7; ++i) cases.insert(cases.end(), {4, 1, 6, 0});
  EXPECT_EQ(data("fici"), cases);
}

TEST_F(InkjetPropertyList, ScriptingLinkNamesTheTerminology) {
  PiplScripting scripting{};
  ASSERT_TRUE(propertyScripting(property("hstm"), scripting));
  EXPECT_EQ(scripting.version, 0);
  EXPECT_EQ(scripting.eventClass, code("wrm6"));
  EXPECT_EQ(scripting.eventId, code("wrm6"));
  EXPECT_EQ(scripting.terminologyId, 16000);
  EXPECT_EQ(scripting.scope, "");
  EXPECT_EQ(property("hstm").length, 16u);
}

TEST_F(InkjetPropertyList, HostListsItAndEnablesItForTheFourModesItConverts) {
  FilterRegistration registration;
  std::string error;
  ASSERT_TRUE(readFilterRegistration(bytes_.data(), bytes_.size(), registration, error)) << error;
  EXPECT_EQ(registration.entryPoint, "ENTRYPOINT");
  EXPECT_EQ(registration.name.substr(registration.name.size() - 3), "...");
  struct Case {
    int16 mode;
    bool listed;
    bool enabled;
  };
  const Case cases[] = {
      {plugInModeBitmap, false, false},       {plugInModeGrayScale, true, true},
      {plugInModeIndexedColor, false, false}, {plugInModeRGBColor, true, true},
      {plugInModeCMYKColor, true, true},      {plugInModeHSLColor, true, false},
      {plugInModeHSBColor, true, false},      {plugInModeMultichannel, false, false},
      {plugInModeDuotone, false, false},      {plugInModeLabColor, true, true},
      {plugInModeGray16, false, false},       {plugInModeRGB48, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(modeListed(registration, c.mode), c.listed) << "mode " << c.mode;
    EXPECT_EQ(filterEnabledFor(registration, {c.mode, 8}), c.enabled) << "mode " << c.mode;
  }
}

// ---------------------------------------------------------------------------------------------
// The host's reader: malformed lists and modules a host must refuse.

TEST(PiplReader, EveryTruncationOfTheListIsRefused) {
  const Bytes full = inkjetPropertyList();
  std::vector<PiplEntry> entries;
  std::string error;
  for (size_t size = 0; size < full.size(); ++size) {
    // A copy of exactly `size` bytes, so that the sanitizer sees any read past it.
    Bytes cut(full.begin(), full.begin() + long(size));
    bool read = readPropertyList(cut.data(), cut.size(), entries, error);
    // The last property's padding may go; its stored length then no longer fits.
    EXPECT_FALSE(read) << "size " << size;
  }
}

TEST(PiplReader, RefusesMalformedHeadersAndProperties) {
  const Bytes good = inkjetPropertyList();
  struct Case {
    const char* what;
    size_t offset;
    Bytes patch;
  };
  const Case cases[] = {
      {"reserved word not 1", 0, {0, 0}},
      {"list version not 0", 2, {1, 0, 0, 0}},
      {"count beyond the properties", 6, {uint8_t(good[6] + 1), 0, 0, 0}},
      {"huge count", 6, {0xff, 0xff, 0xff, 0xff}},
      {"first length beyond the end", 10 + 12, {0, 0x10, 0, 0}},
      {"negative first length", 10 + 12, {0xfc, 0xff, 0xff, 0xff}},
  };
  for (const Case& c : cases) {
    Bytes bytes = good;
    std::copy(c.patch.begin(), c.patch.end(), bytes.begin() + long(c.offset));
    std::vector<PiplEntry> entries;
    std::string error;
    EXPECT_FALSE(readPropertyList(bytes.data(), bytes.size(), entries, error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

// Lists carrying unpadded lengths (the Macintosh habit) read as well: the reader rounds.
TEST(PiplReader, ReadsUnpaddedLengths) {
  Bytes bytes = fromHex("0100 00000000 02000000");
  Bytes name = fromHex("4d494238 656d616e 00000000 06000000 05 4e616d65 3f 0000");
  Bytes kind = fromHex("4d494238 646e696b 00000000 04000000 4d464238");
  bytes.insert(bytes.end(), name.begin(), name.end());
  bytes.insert(bytes.end(), kind.begin(), kind.end());
  std::vector<PiplEntry> entries;
  std::string error;
  ASSERT_TRUE(readPropertyList(bytes.data(), bytes.size(), entries, error)) << error;
  ASSERT_EQ(entries.size(), 2u);
  std::string text;
  OSType kindCode = 0;
  EXPECT_TRUE(propertyPascalString(entries[0], text));
  EXPECT_EQ(text, "Name?");
  EXPECT_TRUE(propertyCode(entries[1], kindCode));
  EXPECT_EQ(kindCode, code("8BFM"));
}

// The Inkjet list with one property replaced (or, with empty data, left out).
Bytes inkjetListWith(const char (&key)[5], const Bytes& data) {
  std::vector<PiplEntry> entries;
  std::string error;
  Bytes original = inkjetPropertyList();
  readPropertyList(original.data(), original.size(), entries, error);
  std::vector<PiplProperty> properties;
  for (const PiplEntry& entry : entries) {
    if (entry.key != code(key)) {
      properties.push_back({entry.vendor, entry.key, Bytes(entry.data, entry.data + entry.length)});
    } else if (!data.empty()) {
      properties.push_back({entry.vendor, entry.key, data});
    }
  }
  return buildPropertyList(properties);
}

TEST(PiplReader, HostRefusesModulesItCannotRun) {
  struct Case {
    const char* what;
    Bytes list;
  };
  const Case cases[] = {
      {"not a filter", inkjetListWith("kind", codeProperty(code("8BEF")))},
      {"no kind", inkjetListWith("kind", {})},
      {"interface 4.1", inkjetListWith("vers", int32Property(0x00040001))},
      {"interface 5.0", inkjetListWith("vers", int32Property(0x00050000))},
      {"no version", inkjetListWith("vers", {})},
      {"no entry point", inkjetListWith("8664", {})},
      {"empty entry point", inkjetListWith("8664", cStringProperty(""))},
      {"entry point without its NUL", inkjetListWith("8664", fromHex("454e5452"))},
      {"no name", inkjetListWith("name", {})},
      {"name longer than its data", inkjetListWith("name", fromHex("09 496e6b"))},
      {"no category", inkjetListWith("catg", {})},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.list.empty()) << c.what;
    FilterRegistration registration;
    std::string error;
    EXPECT_FALSE(readFilterRegistration(c.list.data(), c.list.size(), registration, error))
        << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

// Each host reads the entry point under its own architecture's key and no other: a module
// that registers only for the other architecture is refused with a message that says so.
TEST(PiplReader, EntryPointIsTakenFromTheHostsOwnArchitecture) {
  struct Case {
    const char* what;
    Bytes list;
    ModuleMachine host;
    const char* entryPoint;  // null: refused
    const char* error;
  };
  const Bytes only32 = inkjetListWith("8664", {});
  const Bytes only64 = inkjetListWith("wx86", {});
  const Bytes differentNames = inkjetListWith("8664", cStringProperty("Main64"));
  const Case cases[] = {
      {"32-bit host, both keys", inkjetPropertyList(), ModuleMachine::X86, "ENTRYPOINT", ""},
      {"64-bit host, both keys", inkjetPropertyList(), ModuleMachine::X64, "ENTRYPOINT", ""},
      {"32-bit host, its own key only", only32, ModuleMachine::X86, "ENTRYPOINT", ""},
      {"64-bit host, its own key only", only64, ModuleMachine::X64, "ENTRYPOINT", ""},
      {"32-bit host, 64-bit key only", only64, ModuleMachine::X86, nullptr,
       "no 'wx86' property: the module names no entry point for 32-bit (x86) hosts"},
      {"64-bit host, 32-bit key only", only32, ModuleMachine::X64, nullptr,
       "no '8664' property: the module names no entry point for 64-bit (x86-64) hosts"},
      {"64-bit host, keys naming different exports", differentNames, ModuleMachine::X64, "Main64",
       ""},
      {"32-bit host, keys naming different exports", differentNames, ModuleMachine::X86,
       "ENTRYPOINT", ""},
  };
  for (const Case& c : cases) {
    FilterRegistration registration;
    std::string error;
    bool accepted =
        readFilterRegistration(c.list.data(), c.list.size(), registration, error, c.host);
    EXPECT_EQ(accepted, c.entryPoint != nullptr) << c.what;
    if (c.entryPoint)
      EXPECT_EQ(registration.entryPoint, c.entryPoint) << c.what;
    else
      EXPECT_EQ(error, c.error) << c.what;
  }
}

TEST(PiplReader, PropertiesOfOtherVendorsAreNotTheHosts) {
  Bytes list = buildPropertyList({{code("ABCD"), code("wx86"), cStringProperty("Elsewhere")},
                                  prop("wx86", cStringProperty("ENTRYPOINT"))});
  std::vector<PiplEntry> entries;
  std::string error;
  ASSERT_TRUE(readPropertyList(list.data(), list.size(), entries, error)) << error;
  std::string entryPoint;
  ASSERT_NE(findProperty(entries, code("wx86")), nullptr);
  EXPECT_TRUE(propertyCString(*findProperty(entries, code("wx86")), entryPoint));
  EXPECT_EQ(entryPoint, "ENTRYPOINT");
}

// Without an enabling condition the host goes by the mode bits; with one, the condition rules.
TEST(PiplReader, ModeBitsDecideOnlyWithoutACondition) {
  Bytes list = inkjetListWith("enbl", {});
  FilterRegistration registration;
  std::string error;
  ASSERT_TRUE(readFilterRegistration(list.data(), list.size(), registration, error)) << error;
  EXPECT_FALSE(registration.hasEnableCondition);
  EXPECT_TRUE(filterEnabledFor(registration, {plugInModeHSLColor, 8}));
  EXPECT_FALSE(filterEnabledFor(registration, {plugInModeIndexedColor, 8}));

  // A condition that cannot be read still rules, and keeps the item disabled.
  const Bytes unreadable[] = {cStringProperty("in (PSHOP_ImageMode, RGBMode"), fromHex("696e2028")};
  for (const Bytes& condition : unreadable) {
    list = inkjetListWith("enbl", condition);
    ASSERT_TRUE(readFilterRegistration(list.data(), list.size(), registration, error)) << error;
    EXPECT_TRUE(registration.hasEnableCondition);
    EXPECT_FALSE(filterEnabledFor(registration, {plugInModeRGBColor, 8}));
  }
}

TEST(EnableCondition, EvaluatesTheHostsExpressions) {
  struct Case {
    const char* condition;
    EnableContext context;
    bool enabled;
  };
  const Case cases[] = {
      {"in (PSHOP_ImageMode, RGBMode, CMYKMode)", {plugInModeCMYKColor, 8}, true},
      {"in (PSHOP_ImageMode, RGBMode, CMYKMode)", {plugInModeLabColor, 8}, false},
      {"in(PSHOP_ImageMode,GrayScaleMode)", {plugInModeGrayScale, 8}, true},
      {"PSHOP_ImageMode == LabMode", {plugInModeLabColor, 8}, true},
      {"PSHOP_ImageMode != LabMode", {plugInModeLabColor, 8}, false},
      {"!(PSHOP_ImageMode == BitmapMode)", {plugInModeBitmap, 1}, false},
      {"PSHOP_ImageMode == RGBMode && PSHOP_ImageDepth == 8", {plugInModeRGBColor, 16}, false},
      {"PSHOP_ImageMode == RGBMode || PSHOP_ImageDepth >= 16", {plugInModeGrayScale, 16}, true},
      {"PSHOP_ImageDepth < 16 && !in (PSHOP_ImageMode, IndexedMode, DuotoneMode)",
       {plugInModeDuotone, 8},
       false},
      {"true", {plugInModeBitmap, 1}, true},
      {"false || (PSHOP_ImageMode > 8)", {plugInModeLabColor, 8}, true},
  };
  for (const Case& c : cases) {
    bool enabled = !c.enabled;
    EXPECT_TRUE(evaluateEnableCondition(c.condition, c.context, enabled)) << c.condition;
    EXPECT_EQ(enabled, c.enabled) << c.condition;
  }
}

TEST(EnableCondition, UnreadableConditionsAreReported) {
  const std::string deep = std::string(10000, '(') + "true" + std::string(10000, ')');
  const std::string negations = std::string(10000, '!') + "true";
  const char* cases[] = {
      "",
      "in (PSHOP_ImageMode, RGBMode",
      "in (PSHOP_ImageMode)",
      "PSHOP_ImageMode ==",
      "PSHOP_ImageMode == PurpleMode",
      "RGBMode RGBMode",
      "(RGBMode",
      "RGBMode)",
      "3abc",
      deep.c_str(),
      negations.c_str(),
  };
  for (const char* condition : cases) {
    bool enabled = true;
    EXPECT_FALSE(evaluateEnableCondition(condition, {plugInModeRGBColor, 8}, enabled)) << condition;
    EXPECT_TRUE(enabled) << condition;
  }
}

// ---------------------------------------------------------------------------------------------
// Inkjet's terminology, read field by field the way a host walks it.

// Reads the terminology's fields in order; any read past the end marks it failed.
class TerminologyCursor {
 public:
  explicit TerminologyCursor(const Bytes& bytes) : bytes_(bytes) {}

  uint8_t byte() {
    if (position_ >= bytes_.size()) {
      failed_ = true;
      return 0;
    }
    return bytes_[position_++];
  }
  uint16_t word() {
    uint16_t low = byte();
    return uint16_t(low | byte() << 8);
  }
  uint32_t dword() {
    uint32_t low = word();
    return low | uint32_t(word()) << 16;
  }
  std::string pascal() {
    std::string text;
    for (uint8_t length = byte(); length > 0 && !failed_; --length) text += char(byte());
    return text;
  }
  bool atEnd() const { return !failed_ && position_ == bytes_.size(); }

 private:
  const Bytes& bytes_;
  size_t position_ = 0;
  bool failed_ = false;
};

TEST(InkjetTerminology, NamesTheSixRecordedSettings) {
  const Bytes bytes = inkjetTerminology();
  TerminologyCursor in(bytes);
  EXPECT_EQ(in.word(), 1);  // reserved
  EXPECT_EQ(in.byte(), 1);  // version 1.0
  EXPECT_EQ(in.byte(), 0);
  EXPECT_EQ(in.word(), 0);  // language
  EXPECT_EQ(in.word(), 0);  // script
  ASSERT_EQ(in.word(), 1);  // suites
  EXPECT_FALSE(in.pascal().empty());
  in.pascal();
  EXPECT_EQ(in.dword(), code("wrm6"));
  EXPECT_EQ(in.word(), 1);  // level
  EXPECT_EQ(in.word(), 1);  // version
  ASSERT_EQ(in.word(), 1);  // events
  EXPECT_EQ(in.pascal(), "Inkjet");
  in.pascal();
  EXPECT_EQ(in.dword(), code("wrm6"));
  EXPECT_EQ(in.dword(), code("wrm6"));
  EXPECT_EQ(in.dword(), code("null"));
  EXPECT_EQ(in.pascal(), "");
  EXPECT_EQ(in.word(), 0);
  EXPECT_EQ(in.dword(), code("#ImR"));
  EXPECT_EQ(in.pascal(), "");
  EXPECT_EQ(in.word(), 0xB000);
  ASSERT_EQ(in.word(), 6);
  const OSType keys[] = {code("par1"), code("par2"), code("par3"),
                         code("par4"), code("par5"), code("par6")};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(in.pascal(), "Parameter " + std::to_string(i + 1));
    EXPECT_EQ(in.dword(), keys[i]);
    EXPECT_EQ(in.dword(), code("long"));
    EXPECT_EQ(in.pascal(), "");
    EXPECT_EQ(in.word(), 0);
  }
  EXPECT_EQ(in.word(), 0);  // classes
  EXPECT_EQ(in.word(), 0);  // comparison operators
  EXPECT_EQ(in.word(), 0);  // enumerations
  EXPECT_TRUE(in.atEnd());
}

// ---------------------------------------------------------------------------------------------
// The resource script: text that compiles back to the same bytes, and the committed copy.

// The data of every "ID TYPE BEGIN ... END" block, decoded as windres reads it.
std::vector<std::pair<std::string, Bytes>> resourcesInScript(const std::string& script) {
  std::vector<std::pair<std::string, Bytes>> resources;
  std::istringstream lines(script);
  std::string line;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (line.rfind("//", 0) == 0 || line.empty()) continue;
    if (line == "BEGIN")
      inside = true;
    else if (line == "END")
      inside = false;
    else if (!inside)
      resources.push_back({line, {}});
    else {
      for (size_t at = line.find("0x"); at != std::string::npos; at = line.find("0x", at + 2)) {
        unsigned value = unsigned(std::stoul(line.substr(at + 2, 4), nullptr, 16));
        resources.back().second.push_back(uint8_t(value));
        resources.back().second.push_back(uint8_t(value >> 8));
      }
      size_t escape = line.find("\"\\x");
      if (escape != std::string::npos)
        resources.back().second.push_back(
            uint8_t(std::stoul(line.substr(escape + 3, 2), nullptr, 16)));
    }
  }
  return resources;
}

TEST(RegistrationScript, WordsAndTheOddByteDecodeToTheData) {
  const Bytes cases[] = {{},
                         {0x80},
                         {0x01, 0xff},
                         fromHex("00 11 22 33 44 55 66 77 88 99 aa bb cc dd ee ff 10 20 30")};
  for (const Bytes& data : cases) {
    auto resources = resourcesInScript(userResourceText("AETE", 16000, data));
    ASSERT_EQ(resources.size(), 1u);
    EXPECT_EQ(resources[0].first, "16000 AETE");
    EXPECT_EQ(resources[0].second, data) << data.size() << " bytes";
  }
}

TEST(RegistrationScript, CarriesThePropertyListAndTheTerminology) {
  auto resources = resourcesInScript(registrationScript());
  ASSERT_EQ(resources.size(), 2u);
  EXPECT_EQ(resources[0].first, "16000 PiPL");
  EXPECT_EQ(resources[0].second, inkjetPropertyList());
  EXPECT_EQ(resources[1].first, "16000 AETE");
  EXPECT_EQ(resources[1].second, inkjetTerminology());
}

// The Windows build compiles the committed host/registration.rc; it must be what the
// generator writes today.
TEST(RegistrationScript, CommittedScriptIsCurrent) {
  std::ifstream file(INKJET_SOURCE_DIR "/host/registration.rc", std::ios::binary);
  ASSERT_TRUE(file) << "host/registration.rc is missing";
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str(), registrationScript())
      << "host/registration.rc is stale: regenerate it with tools/resgen";
}

}  // namespace
