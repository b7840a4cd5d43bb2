#include "core/settings_format.h"

#include "core/persisted_settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

void putInt32(uint8_t* at, int32 v) {
  const uint32_t u = uint32_t(v);
  for (int i = 0; i < 4; ++i) at[i] = uint8_t(u >> (8 * i));
}

int32 getInt32(const uint8_t* at) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= uint32_t(at[i]) << (8 * i);
  return int32(u);
}

std::string signatureText(const uint8_t* bytes, size_t size) {
  if (size <= kSettingsSignatureOffset) return std::string();
  const size_t available = std::min(size - kSettingsSignatureOffset, kSettingsSignatureSize);
  const char* start = reinterpret_cast<const char*>(bytes + kSettingsSignatureOffset);
  return std::string(start, strnlen(start, available));
}

// Replaces target by the finished temporary file in one step.
bool replaceFile(const std::string& temporary, const char* target) {
#ifdef _WIN32
  return MoveFileExA(temporary.c_str(), target, MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(temporary.c_str(), target) == 0;
#endif
}

bool writeWhole(const std::string& path, const uint8_t* bytes, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(bytes, 1, size, f) == size;
  return (std::fclose(f) == 0) && written;
}

}  // namespace

void encodeSettingsFile(const SharpenSettings& s, uint8_t (&bytes)[kSettingsFileSize]) {
  std::memset(bytes, 0, sizeof bytes);
  std::memcpy(bytes, kSettingsFileTag, kSettingsTagSize);
  std::memcpy(bytes + kSettingsSignatureOffset, kSettingsFileSignature,
              std::strlen(kSettingsFileSignature));
  for (int i = 0; i < kPersistedSettingCount; ++i)
    putInt32(bytes + kSettingsValuesOffset + 4 * i, s.*kPersistedSettings[i].field);
}

SettingsStatus decodeSettingsFile(const uint8_t* bytes, size_t size, SharpenSettings& s,
                                  std::string& signature) {
  signature = bytes ? signatureText(bytes, size) : std::string();
  if (!bytes || size < kSettingsFileSize || signature != kSettingsFileSignature)
    return SettingsStatus::Foreign;
  for (int i = 0; i < kPersistedSettingCount; ++i)
    s.*kPersistedSettings[i].field = getInt32(bytes + kSettingsValuesOffset + 4 * i);
  clampPersistedSettings(s);
  return SettingsStatus::Loaded;
}

void clampPersistedSettings(SharpenSettings& s) {
  for (const PersistedSetting& r : kPersistedSettings)
    s.*r.field = std::clamp(s.*r.field, r.lowest, r.highest);
}

// Only the first 108 bytes are read: whatever follows is not part of the settings.
SettingsStatus readSettingsFile(const char* path, SharpenSettings& s, std::string& signature) {
  signature.clear();
  std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
  if (!f) return SettingsStatus::Unreadable;
  uint8_t bytes[kSettingsFileSize];
  const size_t size = std::fread(bytes, 1, sizeof bytes, f);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return SettingsStatus::Unreadable;
  return decodeSettingsFile(bytes, size, s, signature);
}

bool writeSettingsFile(const char* path, const SharpenSettings& s) {
  if (!path || !*path) return false;
  uint8_t bytes[kSettingsFileSize];
  encodeSettingsFile(s, bytes);
  const std::string temporary = std::string(path) + ".saving";
  if (writeWhole(temporary, bytes, sizeof bytes) && replaceFile(temporary, path)) return true;
  std::remove(temporary.c_str());
  return false;
}
