// Which processor a Windows module (a PE file such as Inkjet.8bf) is built for, read from its
// headers before the system is asked to load it: a host of one architecture cannot load a
// module of another, and the system's own refusal names neither. The reader checks every
// offset against the bytes it is given.
#pragma once

#include <cstddef>
#include <string>

#include "hostapi/types.h"

enum class ModuleMachine { Unknown, X86, X64, Other };

// The machine of the PE image whose first bytes are given (the DOS header and the PE headers
// it points at are enough); Unknown when they are not those of a PE image.
ModuleMachine peMachine(const uint8* bytes, size_t size);

// The machine this program is built for: the only one whose modules it can load.
constexpr ModuleMachine hostMachine() {
  return sizeof(void*) == 8 ? ModuleMachine::X64 : ModuleMachine::X86;
}

// "32-bit (x86)" and the like, for messages.
std::string machineName(ModuleMachine machine);

// The PiPL property that names a module's entry point for this machine: 'wx86' or '8664'.
OSType entryPointKey(ModuleMachine machine);
