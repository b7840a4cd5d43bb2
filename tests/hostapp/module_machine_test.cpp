// Telling a module's architecture from its PE headers, before the system is asked to load it,
// and refusing to be misled by a file that only looks like a module.
#include <gtest/gtest.h>

#include <vector>

#include "hostapp/module_machine.h"

namespace {

using Bytes = std::vector<uint8>;

// A DOS header whose new-header offset is `peOffset`, followed by the PE signature and the
// machine field at that offset (when they fit in `size`).
Bytes peImage(uint16 machine, uint32 peOffset = 0x80, size_t size = 0x200) {
  Bytes bytes(size, 0);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  for (int i = 0; i < 4; ++i) bytes[0x3C + i] = uint8(peOffset >> (8 * i));
  const uint8 header[] = {'P', 'E', 0, 0, uint8(machine), uint8(machine >> 8)};
  for (size_t i = 0; i < sizeof header && peOffset + i < size; ++i) bytes[peOffset + i] = header[i];
  return bytes;
}

TEST(ModuleMachine, ReadsTheMachineOfAPeImage) {
  struct Case {
    const char* what;
    Bytes bytes;
    ModuleMachine machine;
  };
  Bytes notMz = peImage(0x8664);
  notMz[0] = 'X';
  Bytes notPe = peImage(0x8664);
  notPe[0x81] = 'X';
  const Case cases[] = {
      {"i686", peImage(0x014C), ModuleMachine::X86},
      {"x86-64", peImage(0x8664), ModuleMachine::X64},
      {"ARM64", peImage(0xAA64), ModuleMachine::Other},
      {"headers right at the end", peImage(0x8664, 0x40, 0x46), ModuleMachine::X64},
      {"no MZ", notMz, ModuleMachine::Unknown},
      {"no PE signature", notPe, ModuleMachine::Unknown},
      {"shorter than the DOS header", Bytes{'M', 'Z', 0, 0}, ModuleMachine::Unknown},
      {"empty", Bytes{}, ModuleMachine::Unknown},
      {"new header beyond the file", peImage(0x8664, 0x1000), ModuleMachine::Unknown},
      {"machine field cut off", peImage(0x8664, 0x40, 0x45), ModuleMachine::Unknown},
      {"offset that wraps", peImage(0x8664, 0xFFFFFFFE), ModuleMachine::Unknown},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(peMachine(c.bytes.data(), c.bytes.size()), c.machine) << c.what;
  }
}

}  // namespace
