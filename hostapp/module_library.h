// Windows only: a filter library loaded the way a host loads it (LoadLibraryA) and its entry
// point found by exact name (GetProcAddress). The object owns the library and frees it when
// destroyed; the entry point is valid only while the object lives.
#pragma once

#ifdef _WIN32
#include <string>
#include <vector>

#include "hostapi/entry_point.h"
#include "hostapi/types.h"
#include "platform/win32.h"

class ModuleLibrary {
 public:
  ModuleLibrary() = default;
  ~ModuleLibrary();
  ModuleLibrary(const ModuleLibrary&) = delete;
  ModuleLibrary& operator=(const ModuleLibrary&) = delete;

  // Loads `path` and looks up `entryName`; on failure returns false and leaves a message in
  // error().
  bool load(const std::string& path, const char* entryName);
  // Loads `path` as a host does after scanning it: its property list (PiPL 16000) is read and
  // checked, and the entry point it names is looked up. The list's bytes go to
  // `propertyList`.
  bool loadRegistered(const std::string& path, std::vector<uint8>* propertyList);
  FilterEntryProc entry() const { return entry_; }
  // Another export of the loaded library by exact name; null when it has none.
  void* symbol(const char* name) const;
  const std::string& error() const { return error_; }

 private:
  HMODULE library_ = nullptr;
  FilterEntryProc entry_ = nullptr;
  std::string error_;
};

// The folder holding the running executable, with a trailing backslash.
std::string executableFolder();
#endif
