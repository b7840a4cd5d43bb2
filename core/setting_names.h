// The texts of the settings' lists, in index order, as the dialog lists them and as the
// command-line tool accepts them. Each table ends with a null pointer. Static texts.
#pragma once

extern const char* const kImageSourceNames[];        // imageSource 0..9
extern const char* const kQualityNames[];            // printerQuality and imageQuality 0..4
extern const char* const kPrinterResolutionNames[];  // printerResolution 0..11

// The index of `text` in `names` (exact match), or -1.
int settingNameIndex(const char* const names[], const char* text);
