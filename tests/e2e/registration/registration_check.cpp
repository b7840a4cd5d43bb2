// Windows-side check of the built module: loads Inkjet.8bf as a host scanning its plug-in
// folder does (as a resource image, DllMain not run), finds the property list by type and id,
// checks that it and the terminology it points to are exactly the generator's bytes and that a
// host would list, enable and call the filter, then loads the module for real and resolves the
// entry point the list names. Prints one line per failed check; exits 1 if any failed.
// Usage: registration_check PATH-TO-Inkjet.8bf
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "hostapi/constants.h"
#include "hostapp/pipl_reader.h"
#include "registration/inkjet_registration.h"

namespace {

int failures = 0;

void check(bool passed, const std::string& what) {
  if (passed) return;
  std::printf("FAILED: %s\n", what.c_str());
  ++failures;
}

// A Unix path handed over by the test runner under Wine lies on drive Z:.
std::string windowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::vector<uint8_t> resourceBytes(HMODULE module, const char* type, int id) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const uint8_t* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (!data) return {};
  return std::vector<uint8_t>(data, data + SizeofResource(module, found));
}

BOOL CALLBACK collectId(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
  if (IS_INTRESOURCE(name))
    reinterpret_cast<std::vector<int>*>(ids)->push_back(int(reinterpret_cast<ULONG_PTR>(name)));
  else
    reinterpret_cast<std::vector<int>*>(ids)->push_back(-1);
  return TRUE;
}

void checkEnabling(const FilterRegistration& registration) {
  struct Case {
    int16 mode;
    bool enabled;
  };
  const Case cases[] = {
      {plugInModeBitmap, false},  {plugInModeGrayScale, true}, {plugInModeIndexedColor, false},
      {plugInModeRGBColor, true}, {plugInModeCMYKColor, true}, {plugInModeMultichannel, false},
      {plugInModeDuotone, false}, {plugInModeLabColor, true},
  };
  for (const Case& c : cases)
    check(filterEnabledFor(registration, {c.mode, 8}) == c.enabled,
          "menu item enabling for image mode " + std::to_string(c.mode));
}

// The scan: list and terminology from the resource image. Returns the entry point's name.
std::string checkResources(HMODULE image) {
  std::vector<int> ids;
  EnumResourceNamesA(image, "PiPL", collectId, reinterpret_cast<LONG_PTR>(&ids));
  check(ids == std::vector<int>{kRegistrationResourceId}, "exactly one PiPL, id 16000");
  // Hosts ask for the type as "PiPL" or "PIPL"; both must find it.
  std::vector<uint8_t> list = resourceBytes(image, "PiPL", kRegistrationResourceId);
  check(list == inkjetPropertyList(), "PiPL 16000 holds the generated property list");
  check(resourceBytes(image, "PIPL", kRegistrationResourceId) == list, "PiPL found as PIPL");

  FilterRegistration registration;
  std::string error;
  bool accepted = readFilterRegistration(list.data(), list.size(), registration, error);
  check(accepted, "host accepts the property list: " + error);
  check(registration.name == "Inkjet..." && registration.category == "orv Brindlecraft 1.0e",
        "menu item and category");
  check(registration.version == 0x00040000, "interface version 4.0");
  checkEnabling(registration);

  std::vector<PiplEntry> entries;
  readPropertyList(list.data(), list.size(), entries, error);
  const PiplEntry* link = findProperty(entries, fourCharCode("hstm"));
  PiplScripting scripting{};
  check(link && propertyScripting(*link, scripting), "scripting link present");
  check(resourceBytes(image, "AETE", scripting.terminologyId) == inkjetTerminology(),
        "AETE named by the scripting link holds the generated terminology");
  return registration.entryPoint;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: registration_check PATH-TO-Inkjet.8bf\n");
    return 2;
  }
  std::string path = windowsPath(argv[1]);
  HMODULE image = LoadLibraryExA(path.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  check(image != nullptr, "load " + path + " as a resource image");
  if (!image) return 1;
  std::string entryPoint = checkResources(image);
  FreeLibrary(image);

  HMODULE module = LoadLibraryA(path.c_str());
  check(module != nullptr, "load " + path);
  if (module) {
    check(GetProcAddress(module, entryPoint.c_str()) != nullptr,
          "entry point '" + entryPoint + "' is exported");
    FreeLibrary(module);
  }
  if (failures) {
    std::printf("%d check(s) failed\n", failures);
    return 1;
  }
  std::printf("registration ok\n");
  return 0;
}
