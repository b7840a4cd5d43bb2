// Library attach on Windows. Hosts load every filter library while scanning their plug-in
// folder, some of them with a plain LoadLibrary, so attaching records the instance handle and
// does nothing else: no allocation, no window, nothing that could fail.
#ifdef _WIN32
#include "controls/module_instance.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    setModuleInstance(instance);
  }
  return TRUE;
}
#endif
