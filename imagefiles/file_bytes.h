// Whole files in and out of memory.
//
// readFileBytes fills `bytes` with the file's contents, read in one piece into a buffer of
// the file's size. writeFileAtomically replaces `path` with `bytes` (or with several parts,
// one after the other, none of them copied) as one step: it writes a temporary file next to
// `path` (same folder, so the final rename never crosses file systems), then renames it over
// `path`. On any failure the temporary file is removed and `path` is left as it was, so a
// failed save never leaves a half-written or empty image behind; nor does a save ended by a
// signal (interrupt_cleanup.h). Both return a run error naming the path and the reason.
// A file that is replaced keeps its permission bits; a `path` that is a symbolic link has its
// target replaced, as cp does, and the link stays (a link to nothing is refused).
#pragma once

#include "imagefiles/file_status.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

FileStatus readFileBytes(const std::string& path, Bytes& bytes);
// Opens `path` for reading if it is a regular file (not a device, FIFO or folder); null with
// the reason in `why` otherwise.
std::FILE* openRegularFile(const std::string& path, std::string& why);
// The size of an open file, 0 when unknown.
size_t sizeOf(std::FILE* file);
// Borrowed bytes: the caller keeps them alive during the call.
struct ByteRange {
  const uint8_t* data;
  size_t size;
};

FileStatus writeFileAtomically(const std::string& path, const Bytes& bytes);
FileStatus writeFileAtomically(const std::string& path, const std::vector<ByteRange>& parts);

// The same replacement written piece by piece, for files too large to hold: open() creates the
// temporary file, write() appends, commit() puts it in place of `path`. Until commit succeeds,
// `path` is untouched; a writer destroyed uncommitted, a failed write or a signal removes the
// temporary file. A failed write is remembered and reported again by commit().
class AtomicFileWriter {
 public:
  AtomicFileWriter();
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  FileStatus open(const std::string& path);
  FileStatus write(const ByteRange& bytes);
  // Writes over bytes already written, at `offset` from the start; write() still appends.
  FileStatus writeAt(uint64_t offset, const ByteRange& bytes);
  FileStatus commit();

 private:
  void discard();
  struct Watch;
  Watch* watch_;
  std::string requested_;
  std::string path_;
  std::string temporary_;
  int fd_ = -1;
  FileStatus failure_;
};

// Whether both paths name one existing file (same device and file), through any spelling,
// hard link or symbolic link.
bool sameFile(const std::string& first, const std::string& second);
