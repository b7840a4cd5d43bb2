// The module driven through its entry point by a host whose every answer comes from the
// fuzzer: the document's size, planes, mode and filter area; which procedures it offers and
// what they return (handle allocation, advanceState, abort, colour services); and, tile by
// tile, the rectangles, planes, row bytes and buffers it hands over in place of what the
// module asked for. The buffers are exactly as large as the host says, so a read or write
// outside them is caught by AddressSanitizer. Whatever the host does, the module must answer
// with a result code, never crash, and never touch memory it was not given.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/entry_point.h"
#include "hostapi/color_services.h"
#include "hostapi/constants.h"
#include "hostapi/filter_record.h"
#include "hostapp/color_engine.h"
#include "hostapp/handle_services.h"
#include "platform/driver.h"

namespace {

FuzzedDataProvider* provider = nullptr;
std::unique_ptr<ColorEngine> formula;

bool coin() { return provider->ConsumeBool(); }

OSErr HOSTAPI_CALL advanceState() { return coin() ? noErr : provider->ConsumeIntegral<int16>(); }
Boolean HOSTAPI_CALL testAbort() { return provider->ConsumeIntegralInRange<int>(0, 15) == 0; }
void HOSTAPI_CALL progress(int32, int32) {}

OSErr HOSTAPI_CALL convertColor(ColorServicesInfo* info) {
  if (info == nullptr) return paramErr;
  switch (provider->ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
      return errPlugInHostInsufficient;
    case 1:
      for (int16& component : info->colorComponents) component = provider->ConsumeIntegral<int16>();
      return noErr;
    default:
      return formula->convert(info->sourceSpace, info->resultSpace, info->colorComponents)
                 ? noErr
                 : errPlugInHostInsufficient;
  }
}

// A rectangle near `base`, moved or resized by the fuzzer now and then.
Rect nudged(const Rect& base) {
  if (provider->ConsumeIntegralInRange<int>(0, 3) != 0) return base;
  Rect rect = base;
  rect.top = int16(rect.top + provider->ConsumeIntegralInRange<int>(-40, 40));
  rect.left = int16(rect.left + provider->ConsumeIntegralInRange<int>(-40, 40));
  rect.bottom = int16(rect.bottom + provider->ConsumeIntegralInRange<int>(-40, 40));
  rect.right = int16(rect.right + provider->ConsumeIntegralInRange<int>(-40, 40));
  return rect;
}

struct TileBuffer {
  std::vector<uint8_t> bytes;
  void* data() { return bytes.empty() ? nullptr : bytes.data(); }
};

// Hands over a buffer for `rect` with the planes lo..hi as the host claims them, exactly
// rows x rowBytes bytes (or nothing at all, now and then).
// The buffer's address is returned rather than stored through a pointer: in the record it
// sits on a 4-byte boundary.
void* deliver(const Rect& rect, int16 lo, int16 hi, TileBuffer& buffer, int32* rowBytes) {
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  const int planes = hi - lo + 1;
  int32 row = width > 0 && planes > 0 ? width * planes : 0;
  if (provider->ConsumeIntegralInRange<int>(0, 5) == 0)
    row = provider->ConsumeIntegralInRange<int32>(-4, row + 8);
  const int64_t size = height > 0 && row > 0 ? int64_t(height) * row : 0;
  buffer.bytes.assign(size_t(size > (1 << 24) ? 0 : size), provider->ConsumeIntegral<uint8_t>());
  *rowBytes = row;
  return provider->ConsumeIntegralInRange<int>(0, 15) == 0 ? nullptr : buffer.data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider fuzzed(bytes, size);
  provider = &fuzzed;
  if (!formula) formula = makeFormulaColorEngine();
  platform::driver::reset();

  HandleOptions handleOptions;
  handleOptions.failAllocation = fuzzed.ConsumeIntegralInRange<int>(0, 40);
  handleOptions.offered = fuzzed.ConsumeIntegralInRange<int>(0, 15) != 0;
  HandleServices handles(handleOptions);

  FilterRecord record{};
  const int16 modes[] = {plugInModeGrayScale, plugInModeRGBColor, plugInModeCMYKColor,
                         plugInModeLabColor};
  record.imageMode = fuzzed.ConsumeBool() ? fuzzed.PickValueInArray(modes)
                                          : fuzzed.ConsumeIntegralInRange<int16>(-2, 14);
  record.imageSize.h = fuzzed.ConsumeIntegralInRange<int16>(-2, 400);
  record.imageSize.v = fuzzed.ConsumeIntegralInRange<int16>(-2, 400);
  record.planes = fuzzed.ConsumeIntegralInRange<int16>(-1, 9);
  record.filterRect = nudged(Rect{0, 0, record.imageSize.v, record.imageSize.h});
  record.imageHRes = fuzzed.ConsumeIntegral<int32>();
  record.imageVRes = fuzzed.ConsumeBool() ? record.imageHRes : fuzzed.ConsumeIntegral<int32>();
  record.handleProcs = handles.procs();
  record.advanceState = fuzzed.ConsumeBool() ? advanceState : nullptr;
  record.abortProc = fuzzed.ConsumeBool() ? testAbort : nullptr;
  record.progressProc = fuzzed.ConsumeBool() ? progress : nullptr;
  record.colorServices = fuzzed.ConsumeBool() ? convertColor : nullptr;
  record.hostSig = fuzzed.ConsumeIntegral<uint32_t>();
  record.supportsPadding = fuzzed.ConsumeBool();
  record.bufferSpace = fuzzed.ConsumeIntegral<int32>();
  record.maxSpace = fuzzed.ConsumeIntegral<int32>();

  intptr_t data = 0;
  Handle parameters = nullptr;
  record.parameters = parameters;
  TileBuffer in, out;
  int16 result = noErr;
  // Prepare, Start, then Continue while the module asks for pixels, then Finish; each
  // selector's answer is whatever the module says. Parameters (the dialog) is left out: its
  // window needs a user.
  const int16 selectors[] = {filterSelectorPrepare, filterSelectorStart};
  for (int16 selector : selectors) {
    result = noErr;
    ENTRYPOINT(selector, &record, &data, &result);
    if (result != noErr) break;
  }
  for (int tile = 0; result == noErr && tile < 64; ++tile) {
    if (record.inRect.top >= record.inRect.bottom && record.outRect.top >= record.outRect.bottom)
      break;
    record.inRect = nudged(record.inRect);
    record.outRect = nudged(record.outRect);
    if (fuzzed.ConsumeIntegralInRange<int>(0, 7) == 0) {
      record.inHiPlane = fuzzed.ConsumeIntegralInRange<int16>(-1, 9);
      record.outHiPlane = fuzzed.ConsumeIntegralInRange<int16>(-1, 9);
      record.inLoPlane = fuzzed.ConsumeIntegralInRange<int16>(0, 2);
    }
    record.inData =
        deliver(record.inRect, record.inLoPlane, record.inHiPlane, in, &record.inRowBytes);
    if (fuzzed.ConsumeBool()) {
      record.outRect = record.inRect;
      record.outHiPlane = record.inHiPlane;
      record.outLoPlane = record.inLoPlane;
      record.outRowBytes = record.inRowBytes;
      record.outData = record.inData;
    } else {
      record.outData =
          deliver(record.outRect, record.outLoPlane, record.outHiPlane, out, &record.outRowBytes);
    }
    ENTRYPOINT(filterSelectorContinue, &record, &data, &result);
  }
  int16 finish = noErr;
  ENTRYPOINT(filterSelectorFinish, &record, &data, &finish);
  provider = nullptr;
  // The module's records live on in the host's data slot by design; a host that offered no
  // handle procs holds them in the stand-in's global memory, which is given back here, so the
  // leak checker sees only what a run really loses.
  platform::driver::reset();
  return 0;
}
