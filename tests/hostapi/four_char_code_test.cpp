// Four-character codes: the first character is the most significant byte, so on x86 the bytes
// in memory (and in resources) come out reversed. Values are those hosts compare against.
#include <gtest/gtest.h>

#include <cstring>

#include "hostapi/constants.h"

namespace {

TEST(FourCharCode, MatchesTheValuesHostsCompare) {
  struct Case {
    uint32 code;
    uint32 value;
    const char* storedBytes;
  };
  for (Case c :
       {Case{fourCharCode("8BIM"), 0x3842494Du, "MIB8"},
        Case{fourCharCode("8BFM"), 0x3842464Du, "MFB8"},
        Case{fourCharCode("long"), 0x6C6F6E67u, "gnol"},
        Case{fourCharCode("#ImR"), 0x23496D52u, "RmI#"}, Case{typeNull, 0x6E756C6Cu, "llun"}}) {
    EXPECT_EQ(c.code, c.value);
    EXPECT_EQ(std::memcmp(&c.code, c.storedBytes, 4), 0) << c.storedBytes;
  }
  EXPECT_EQ(kPhotoshopSignature, fourCharCode("8BIM"));
}

}  // namespace
