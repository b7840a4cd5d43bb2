// The settings file: the six persisted settings in 108 bytes, and its reading and writing
// without any user interface, so that the dialog and the command-line tool share one reader.
//
// Layout (integers signed 32-bit little-endian): bytes 0..2 the tag "orv" (not checked when
// reading); 3..82 the signature text "Brindlecraft1.0 Inkjet" padded with zero bytes; 83 a
// padding byte (written 0, ignored); 84..107 personalProfile, eyeDistance, printerQuality,
// printerResolution, imageQuality, imageSource. Bytes past 107 are ignored.
//
// Contract: a file is accepted only when it is at least 108 bytes long and its signature field,
// read as text up to its first zero byte, equals the signature exactly (case matters). The six
// values of an accepted file are clamped into their ranges; print width and height are never
// touched. A refused or unreadable file changes nothing. Writing never leaves a half-written
// file at the target path: the bytes go to a temporary file next to it, which then replaces the
// target in one step; on failure the target is as before and no temporary file remains.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/sharpen_settings.h"

constexpr size_t kSettingsFileSize = 108;
constexpr size_t kSettingsTagSize = 3;
constexpr size_t kSettingsSignatureOffset = 3;
constexpr size_t kSettingsSignatureSize = 80;
constexpr size_t kSettingsValuesOffset = 84;
constexpr const char* kSettingsFileTag = "orv";
constexpr const char* kSettingsFileSignature = "Brindlecraft1.0 Inkjet";

enum class SettingsStatus {
  Loaded,      // the six settings were taken from the file
  Foreign,     // the file is too short or carries another signature
  Unreadable,  // the file could not be opened or read
};

// The file image of the six persisted settings of s.
void encodeSettingsFile(const SharpenSettings& s, uint8_t (&bytes)[kSettingsFileSize]);
// Decodes size bytes into s. signature receives the text found in the signature field (up to
// its first zero byte, at most 80 characters, only as far as the bytes reach), whatever the
// result.
SettingsStatus decodeSettingsFile(const uint8_t* bytes, size_t size, SharpenSettings& s,
                                  std::string& signature);
// Brings each of the six persisted settings into its range.
void clampPersistedSettings(SharpenSettings& s);

SettingsStatus readSettingsFile(const char* path, SharpenSettings& s, std::string& signature);
// True when the file was written whole.
bool writeSettingsFile(const char* path, const SharpenSettings& s);
