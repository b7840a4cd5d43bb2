#ifdef _WIN32
#include "hostapp/module_library.h"

#include <algorithm>
#include <fstream>

#include "hostapp/module_machine.h"
#include "hostapp/pipl_reader.h"

namespace {

// LoadLibrary wants backslashes; paths from build scripts arrive with forward ones.
std::string windowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// A module of another architecture cannot be loaded at all, and the system says only "bad exe
// format"; the headers tell what it is, so the message can say which module belongs here.
bool machineMatches(const std::string& path, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  char head[4096] = {};
  file.read(head, sizeof head);
  ModuleMachine machine = peMachine(reinterpret_cast<const uint8*>(head), size_t(file.gcount()));
  if (machine == hostMachine() || machine == ModuleMachine::Unknown) return true;
  error = path + " is a " + machineName(machine) + " module, but this host is " +
          machineName(hostMachine()) + " and can load only a " + machineName(hostMachine()) +
          " module";
  return false;
}

}  // namespace

ModuleLibrary::~ModuleLibrary() {
  if (library_ != nullptr) {
    FreeLibrary(library_);
  }
}

bool ModuleLibrary::load(const std::string& path, const char* entryName) {
  if (!machineMatches(path, error_)) return false;
  library_ = LoadLibraryA(windowsPath(path).c_str());
  if (library_ == nullptr) {
    error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  entry_ = reinterpret_cast<FilterEntryProc>(
      reinterpret_cast<void*>(GetProcAddress(library_, entryName)));
  if (entry_ == nullptr) {
    error_ = path + " exports no " + entryName;
    return false;
  }
  return true;
}

void* ModuleLibrary::symbol(const char* name) const {
  return library_ != nullptr ? reinterpret_cast<void*>(GetProcAddress(library_, name)) : nullptr;
}

bool ModuleLibrary::loadRegistered(const std::string& path, std::vector<uint8>* propertyList) {
  if (!machineMatches(path, error_)) return false;
  library_ = LoadLibraryA(windowsPath(path).c_str());
  if (library_ == nullptr) {
    error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  HRSRC found = FindResourceA(library_, MAKEINTRESOURCEA(16000), "PiPL");
  HGLOBAL loaded = found != nullptr ? LoadResource(library_, found) : nullptr;
  const auto* bytes = static_cast<const uint8*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  if (bytes == nullptr) {
    error_ = path + " carries no property list";
    return false;
  }
  propertyList->assign(bytes, bytes + SizeofResource(library_, found));
  FilterRegistration registration;
  if (!readFilterRegistration(propertyList->data(), propertyList->size(), registration, error_)) {
    return false;
  }
  FreeLibrary(library_);
  library_ = nullptr;
  return load(path, registration.entryPoint.c_str());
}

std::string executableFolder() {
  char path[MAX_PATH] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}
#endif
