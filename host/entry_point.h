// ENTRYPOINT, the module's one door for the host: exported undecorated from Inkjet.8bf, and
// linked directly by the native host. See hostapi/entry_point.h for the arguments. Nothing
// throws across it; every failure is a result code.
#pragma once

#include "hostapi/entry_point.h"

#if defined(_WIN32)
#define INKJET_EXPORT __declspec(dllexport)
#else
#define INKJET_EXPORT
#endif

extern "C" INKJET_EXPORT void HOSTAPI_CALL ENTRYPOINT(int16 selector, void* block, intptr_t* data,
                                                      int16* result);
