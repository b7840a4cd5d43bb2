// ENTRYPOINT, the module's one door for the host: exported undecorated from Inkjet.8bf, and
// linked directly by the native host. See hostapi/entry_point.h for the arguments. Nothing
// throws across it; every failure is a result code.
#pragma once

#include "core/sharpen_settings.h"
#include "hostapi/entry_point.h"
#include "hostapi/filter_record.h"

#if defined(_WIN32)
#define INKJET_EXPORT __declspec(dllexport)
#else
#define INKJET_EXPORT
#endif

extern "C" INKJET_EXPORT void HOSTAPI_CALL ENTRYPOINT(int16 selector, void* block, intptr_t* data,
                                                      int16* result);

// For hosts that know this module: how many threads it splits each tile's work across in
// every later run, clamped to 1..64; 0 restores the default, the machine's cores. The output
// is the same for every count. A host editor never calls it, and the module works without it.
extern "C" INKJET_EXPORT void HOSTAPI_CALL InkjetSetThreads(int32 count);
// Its exported name, for hosts that look it up in the library.
constexpr const char kThreadCountExport[] = "InkjetSetThreads";

#ifndef _WIN32
// For the native hosts only: the settings the module established in the last Prepare, read
// from its record in FilterRecord.parameters (locked and unlocked again through the record's
// handle services). False when the module holds no record yet.
bool establishedSettings(FilterRecord* record, SharpenSettings* settings, int32* settingsTouched);
#endif
