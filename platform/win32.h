// The Windows calls the module makes. On Windows this is the real <windows.h>; natively it
// declares the same names (types, constants with their Windows values, functions), which
// platform/'s in-memory stand-in implements.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <commdlg.h>
#else
#include <cstdint>
#endif
