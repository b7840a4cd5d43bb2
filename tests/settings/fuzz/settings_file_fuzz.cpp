// Feeds arbitrary bytes to the settings-file decoder. Besides memory errors it checks what the
// decoder promises: a refused file changes nothing, an accepted one only the six persisted
// settings and only within their ranges, the signature shown is at most 80 characters, and an
// accepted file's settings written again decode to the same settings.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/settings_format.h"

namespace {

const SharpenSettings kStart = {2, 1, 2, 4, 2, 5, 300, 450};

void require(bool condition) {
  if (!condition) std::abort();
}

bool inRanges(const SharpenSettings& s) {
  return s.personalProfile >= 1 && s.personalProfile <= 3 && s.eyeDistance >= 1 &&
         s.eyeDistance <= 5 && s.printerQuality >= 0 && s.printerQuality <= 4 &&
         s.printerResolution >= 0 && s.printerResolution <= 11 && s.imageQuality >= 0 &&
         s.imageQuality <= 4 && s.imageSource >= 0 && s.imageSource <= 9;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SharpenSettings s = kStart;
  std::string signature;
  const SettingsStatus status = decodeSettingsFile(data, size, s, signature);
  require(signature.size() <= kSettingsSignatureSize);
  require(s.printHeight == kStart.printHeight && s.printWidth == kStart.printWidth);
  if (status != SettingsStatus::Loaded) {
    require(std::memcmp(&s, &kStart, sizeof s) == 0);
    return 0;
  }
  require(inRanges(s));
  uint8_t again[kSettingsFileSize];
  encodeSettingsFile(s, again);
  SharpenSettings back = kStart;
  require(decodeSettingsFile(again, sizeof again, back, signature) == SettingsStatus::Loaded);
  require(std::memcmp(&s, &back, sizeof s) == 0);
  return 0;
}
