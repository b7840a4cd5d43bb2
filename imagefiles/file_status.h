// The outcome of reading or writing an image file.
//
// Nothing in imagefiles throws to its caller or exits: every failure comes back as a
// FileStatus with a one-line message (no program-name prefix; the front end adds its own) and
// a kind, which the front end turns into its exit code: a run error for a file that cannot be
// read or written or an image the filter cannot take, a usage error for a request that could
// never work (an unknown extension, a format that cannot hold the image's mode).
#pragma once

#include <string>

enum class FileErrorKind { none, run, usage };

struct FileStatus {
  FileErrorKind kind = FileErrorKind::none;
  std::string message;

  bool ok() const { return kind == FileErrorKind::none; }
  static FileStatus success() { return {}; }
  static FileStatus runError(std::string text) { return {FileErrorKind::run, std::move(text)}; }
  static FileStatus usageError(std::string text) { return {FileErrorKind::usage, std::move(text)}; }
};
