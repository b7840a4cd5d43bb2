#include "hostapp/module_machine.h"

#include "hostapi/constants.h"

namespace {

constexpr uint16 kImageFileMachineI386 = 0x014C;
constexpr uint16 kImageFileMachineAmd64 = 0x8664;
constexpr size_t kNewHeaderOffsetField = 0x3C;

uint16 littleEndian16(const uint8* bytes) { return uint16(bytes[0] | bytes[1] << 8); }

uint32 littleEndian32(const uint8* bytes) {
  return uint32(bytes[0]) | uint32(bytes[1]) << 8 | uint32(bytes[2]) << 16 | uint32(bytes[3]) << 24;
}

}  // namespace

ModuleMachine peMachine(const uint8* bytes, size_t size) {
  if (size < kNewHeaderOffsetField + 4 || bytes[0] != 'M' || bytes[1] != 'Z') {
    return ModuleMachine::Unknown;
  }
  uint32 peOffset = littleEndian32(bytes + kNewHeaderOffsetField);
  // The signature "PE\0\0" and the machine field right after it.
  if (peOffset > size || size - peOffset < 6) return ModuleMachine::Unknown;
  const uint8* pe = bytes + peOffset;
  if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0) return ModuleMachine::Unknown;
  switch (littleEndian16(pe + 4)) {
    case kImageFileMachineI386:
      return ModuleMachine::X86;
    case kImageFileMachineAmd64:
      return ModuleMachine::X64;
    default:
      return ModuleMachine::Other;
  }
}

std::string machineName(ModuleMachine machine) {
  switch (machine) {
    case ModuleMachine::X86:
      return "32-bit (x86)";
    case ModuleMachine::X64:
      return "64-bit (x86-64)";
    case ModuleMachine::Other:
      return "non-x86";
    case ModuleMachine::Unknown:
      break;
  }
  return "unknown";
}

OSType entryPointKey(ModuleMachine machine) {
  return machine == ModuleMachine::X64 ? kEntryPointKeyX64 : kEntryPointKeyX86;
}
