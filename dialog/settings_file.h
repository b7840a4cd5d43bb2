// SettingsFile: one save or load of the six persisted settings of a dialog, and the Save and
// Load button actions that run it behind the standard file dialogs.
//
// Contract: a SettingsFile lives on the stack of one button action. Its first members mirror
// the file image (tag, signature, the six values); path is borrowed from the action's file name
// buffer, settings are the dialog's, and owner is the dialog window, which owns every message
// box.
// read and write report their own failures in a message box captioned "Error" and answer 0;
// a failed read or write changes neither the settings nor the file at path. The actions take
// the MainDialog, answer 1 (handled) and leave the main dialog window
// to be repainted; after a successful load every control is told onInit, so it shows the loaded
// settings. The file format itself lives in settings_format.h.
#pragma once

#include "controls/bitmap_button.h"
#include "core/settings_format.h"

struct MainDialog;

class SettingsFile {
 public:
  SettingsFile(const char* path, SharpenSettings* settings, HWND owner);

  // Writes the six settings; 1 when the file was written.
  int write();
  // Loads the six settings; 1 when they were loaded, 0 when the file was refused or could
  // not be read.
  int read();

  char extensionTag[kSettingsTagSize];
  char settingsFileSignature[kSettingsSignatureSize];
  int32 values[kPersistedSettingCount];
  const char* path;
  SharpenSettings* settings;
  HWND owner;

 private:
  void report(const std::string& text) const;
};

// The Save and Load buttons' actions; 0 without a dialog, 1 otherwise.
uint32_t saveSettings(MainDialog* dialog);
uint32_t loadSettings(MainDialog* dialog);
