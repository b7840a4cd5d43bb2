// A small host for the colour tests: a FilterRecord with handle services that count their calls
// and can refuse allocations, and colour services that convert by a simple formula and record
// every call. PluginGlobals carries the host's per-mode tables. The host's callbacks are plain
// functions, so the FakeColorHost made last answers them until it is destroyed.
#pragma once

#include <cstring>
#include <vector>

#include "host/plugin_globals.h"
#include "hostapi/color_services.h"
#include "hostapi/constants.h"
#include "hostapi/handle_procs.h"

struct FakeColorHost {
  FilterRecord record{};
  HandleProcs procs{};
  PluginGlobals globals{};
  std::vector<ColorServicesInfo> conversions;  // every colour-services call, as the host saw it
  int handlesLive = 0;
  int locks = 0;
  int allocationsToRefuse = 0;  // the next n allocations fail
  int allocationsLeft = -1;     // once this reaches 0 every allocation fails; negative: no limit
  int conversionsLeft = -1;     // once this reaches 0 every conversion fails; negative: no limit

  static FakeColorHost*& current() {
    static FakeColorHost* host = nullptr;
    return host;
  }

  // The host's conversion: each result component from the same source component, so the
  // tests can tell every channel and both colour spaces apart.
  static uint8 converted(const uint8* source, int sourceCount, int component, int resultSpace) {
    int value = component < sourceCount ? source[component] : 0;
    return uint8(value * 3 + 7 * (component + 1) + resultSpace * 11);
  }

  explicit FakeColorHost(int16 imageMode, bool colorServices = true) : previous(current()) {
    current() = this;
    const int32 spaces[kImageModeCount] = {-1, 4, -1, 0, 2, 5, 1, -1, 4, 3, 4, -1};
    const int32 channels[kImageModeCount] = {1, 1, 3, 3, 4, 3, 3, 0, 1, 3, 1, 3};
    std::memcpy(globals.colors.colorSpaceOfMode, spaces, sizeof spaces);
    std::memcpy(globals.colors.channelsOfMode, channels, sizeof channels);
    globals.filterRecord = &record;
    record.imageMode = imageMode;
    record.handleProcs = &procs;
    record.colorServices = colorServices ? &convertColor : nullptr;
    procs.handleProcsVersion = 1;
    procs.numHandleProcs = 7;
    procs.newProc = &newHandleProc;
    procs.disposeProc = &disposeHandleProc;
    procs.getSizeProc = &getSizeProc;
    procs.setSizeProc = &setSizeProc;
    procs.lockProc = &lockProc;
    procs.unlockProc = &unlockProc;
  }
  ~FakeColorHost() { current() = previous; }
  FakeColorHost* previous;  // hosts nest: the one made last answers until it is gone

  static OSErr convertColor(ColorServicesInfo* info) {
    FakeColorHost& host = *current();
    host.conversions.push_back(*info);
    if (host.conversionsLeft == 0) {
      for (int i = 0; i < 4; ++i) info->colorComponents[i] = 0x5a;
      return errPlugInHostInsufficient;
    }
    if (host.conversionsLeft > 0) --host.conversionsLeft;
    uint8 source[4];
    for (int i = 0; i < 4; ++i) source[i] = uint8(info->colorComponents[i]);
    int sourceCount = info->sourceSpace == plugIncolorServicesCMYKSpace   ? 4
                      : info->sourceSpace == plugIncolorServicesGraySpace ? 1
                                                                          : 3;
    for (int i = 0; i < 4; ++i)
      info->colorComponents[i] = converted(source, sourceCount, i, info->resultSpace);
    return noErr;
  }

  static Handle newHandleProc(int32 size) {
    FakeColorHost& host = *current();
    if (host.allocationsToRefuse > 0) {
      --host.allocationsToRefuse;
      return nullptr;
    }
    if (host.allocationsLeft == 0) return nullptr;
    if (host.allocationsLeft > 0) --host.allocationsLeft;
    ++host.handlesLive;
    Handle handle = new char*;
    *handle = new char[size_t(size)];
    return handle;
  }
  static void disposeHandleProc(Handle handle) {
    --current()->handlesLive;
    delete[] * handle;
    delete handle;
  }
  static int32 getSizeProc(Handle) { return 0; }
  static OSErr setSizeProc(Handle, int32) { return noErr; }
  static Ptr lockProc(Handle handle, Boolean) {
    ++current()->locks;
    return *handle;
  }
  static void unlockProc(Handle) {}
};
