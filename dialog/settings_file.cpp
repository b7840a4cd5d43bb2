#include "dialog/settings_file.h"

#include <cstring>

namespace {

constexpr const char* kErrorCaption = "Error";

void copySettings(const SharpenSettings& from, int32 (&values)[kPersistedSettingCount]) {
  const int32 persisted[kPersistedSettingCount] = {from.personalProfile, from.eyeDistance,
                                                   from.printerQuality,  from.printerResolution,
                                                   from.imageQuality,    from.imageSource};
  std::memcpy(values, persisted, sizeof values);
}

}  // namespace

SettingsFile::SettingsFile(const char* path, SharpenSettings* settings, HWND owner)
    : extensionTag{},
      settingsFileSignature{},
      values{},
      path(path),
      settings(settings),
      owner(owner) {
  std::memcpy(extensionTag, kSettingsFileTag, kSettingsTagSize);
  std::strncpy(settingsFileSignature, kSettingsFileSignature, kSettingsSignatureSize);
}

void SettingsFile::report(const std::string& text) const {
  MessageBoxA(owner, text.c_str(), kErrorCaption, MB_OK);
}

int SettingsFile::write() {
  if (!settings) return 0;
  copySettings(*settings, values);
  if (writeSettingsFile(path, *settings)) return 1;
  report(std::string("This file could not be written:\n ") + (path ? path : ""));
  return 0;
}

// The settings are decoded into a copy first, so that a refused file leaves them untouched.
int SettingsFile::read() {
  if (!settings) return 0;
  SharpenSettings loaded = *settings;
  std::string signature;
  switch (readSettingsFile(path, loaded, signature)) {
    case SettingsStatus::Loaded:
      *settings = loaded;
      copySettings(loaded, values);
      return 1;
    case SettingsStatus::Foreign:
      report("This file was created by the\n " + signature + " filter!");
      return 0;
    case SettingsStatus::Unreadable:
      break;
  }
  report(std::string("This file could not be opened:\n ") + (path ? path : ""));
  return 0;
}
