#include "hostapp/filter_record_setup.h"

#include <cstring>

#include "hostapi/constants.h"

namespace {

constexpr Fixed kFixedOne = 1 << 16;
constexpr int32 kHostSpace = 64 * 1024 * 1024;

void describeGeometry(FilterRecord* record, const DocumentDescription& document) {
  record->imageSize = Point{int16(document.height), int16(document.width)};
  record->wholeSize = record->imageSize;
  record->planes = int16(colorPlanesOfMode(document.mode) + document.extraPlanes);
  record->filterRect = effectiveFilterRect(document);
  record->imageMode = document.mode;
  record->imageHRes = document.horizontalResolution;
  record->imageVRes = document.verticalResolution;
}

// The answers every run gets from this host, whatever the document.
void describeHost(FilterRecord* record) {
  record->hostSig = kInkjetHostSignature;
  record->maxSpace = kHostSpace;
  record->background = RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
  std::memset(record->backColor, 0xFF, sizeof(record->backColor));
  record->supportsPadding = 1;
  record->inputPadding = plugInWantsErrorOnBoundsException;
  record->outputPadding = plugInWantsErrorOnBoundsException;
  record->maskPadding = plugInWantsErrorOnBoundsException;
  record->samplingSupport = hostSupportsIntegralSampling;
  record->inputRate = kFixedOne;
  record->maskRate = kFixedOne;
  record->wantLayout = piLayoutTraditional;
  record->dummyPlaneValue = -1;
  record->filterCase = filterCaseFlatImageNoSelection;
}

}  // namespace

void describeDocument(FilterRecord* record, const DocumentDescription& document,
                      HandleProcs* handleProcs, PlatformData* platformData) {
  std::memset(static_cast<void*>(record), 0, sizeof(FilterRecord));
  describeGeometry(record, document);
  describeHost(record);
  record->handleProcs = handleProcs;
  record->platformData = platformData;
}
