// Reading a filter's plug-in property list (the Windows "PiPL" resource) as a host does when
// it scans its plug-in folder. The caller owns the resource bytes; PiplEntry points into them
// and is valid only as long as they are. Every read is bounds-checked against the given size:
// a malformed list is refused with a one-line reason, never read past its end.
// Layout: word 1, version 0, count, then per property vendor, key, id, length and data, the
// four-character codes little-endian. A property's data is taken as its stored length; the
// next property starts at the stored length rounded up to four, so lists with padded and with
// unpadded lengths both read.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "hostapi/types.h"
#include "hostapp/module_machine.h"

struct PiplEntry {
  OSType vendor;
  OSType key;
  int32 id;
  const uint8* data;
  uint32 length;
};

bool readPropertyList(const uint8* bytes, size_t size, std::vector<PiplEntry>& entries,
                      std::string& error);

// The first property with this key from the host's vendor '8BIM', or nullptr.
const PiplEntry* findProperty(const std::vector<PiplEntry>& entries, OSType key);

// Decoders of one property's data; false when the data does not have that shape (too short,
// a Pascal string longer than the data, a C string without its NUL).
bool propertyCode(const PiplEntry& entry, OSType& value);
bool propertyInt32(const PiplEntry& entry, int32& value);
bool propertyPascalString(const PiplEntry& entry, std::string& value);
bool propertyCString(const PiplEntry& entry, std::string& value);

// The 'hstm' property: the event recorded for the filter and its terminology resource id.
struct PiplScripting {
  int32 version;
  OSType eventClass;
  OSType eventId;
  int16 terminologyId;
  std::string scope;
};
bool propertyScripting(const PiplEntry& entry, PiplScripting& value);

// What a host keeps of a filter's list to list it, enable it and call it.
struct FilterRegistration {
  std::string name;
  std::string category;
  std::string entryPoint;
  int32 version = 0;
  bool hasModes = false;
  std::array<uint8, 4> modes{};
  bool hasEnableCondition = false;
  std::string enableCondition;
};

// Reads and checks a list as a host of `machine` would before listing the filter: kind '8BFM',
// an interface version no later than 4.0, a non-empty entry point name under that machine's
// key ('wx86' or '8664'; the other one is not looked at), a name and a category.
// False with the reason in `error` when the host would refuse the module.
bool readFilterRegistration(const uint8* bytes, size_t size, FilterRegistration& registration,
                            std::string& error, ModuleMachine machine = hostMachine());

// Whether the 'mode' bit string lists the image mode (the host's numbering, 0 = bitmap).
bool modeListed(const FilterRegistration& registration, int16 imageMode);

// The document facts an enabling condition can test.
struct EnableContext {
  int16 imageMode;
  int16 imageDepth;
};

// Evaluates an 'enbl' condition such as "in (PSHOP_ImageMode, RGBMode, LabMode)": the
// operators in (...), ==, !=, <, <=, >, >=, &&, ||, ! and parentheses over the names
// PSHOP_ImageMode, PSHOP_ImageDepth, the mode names (BitmapMode .. Gray32Mode), true, false
// and decimal numbers. False when the condition cannot be read; `enabled` is then untouched.
bool evaluateEnableCondition(const std::string& condition, const EnableContext& context,
                             bool& enabled);

// Whether the host enables the menu item for a document: the enabling condition decides
// when there is one (a condition that cannot be read disables the item), else the mode bits.
bool filterEnabledFor(const FilterRegistration& registration, const EnableContext& context);
