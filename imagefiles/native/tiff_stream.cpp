// Memory-backed I/O procedures for libtiff and its per-handle error capture.
#include "imagefiles/native/tiff_stream.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

TiffStream& streamOf(thandle_t handle) { return *static_cast<TiffStream*>(handle); }

uint64_t sizeOf(const TiffStream& s) {
  if (s.file) return s.fileSize;
  if (s.writer) return s.written;
  if (s.input) return s.input->size();
  return s.output->size() - s.shift;
}

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t size) {
  TiffStream& s = streamOf(handle);
  if (s.file) {
    if (size < 0 || std::fseek(s.file, long(s.position), SEEK_SET) != 0) return 0;
    const size_t n = std::fread(buffer, 1, size_t(size), s.file);
    s.position += n;
    return tmsize_t(n);
  }
  if (!s.input || size < 0 || s.position >= s.input->size()) return 0;
  const uint64_t n = std::min<uint64_t>(uint64_t(size), s.input->size() - s.position);
  std::memcpy(buffer, s.input->data() + s.position, size_t(n));
  s.position += n;
  return tmsize_t(n);
}

tmsize_t writeProc(thandle_t handle, void* buffer, tmsize_t size) {
  TiffStream& s = streamOf(handle);
  if (size < 0) return -1;
  if (s.dropAll || s.position + uint64_t(size) <= s.keepFrom) {
    s.position += uint64_t(size);
    s.written = std::max(s.written, s.position);
    return size;
  }
  if (s.position < s.keepFrom) return -1;  // a write across the cut: not a layout this knows
  if (s.padTif != nullptr) {
    const uint32_t strip = TIFFCurrentStrip(s.padTif);
    if (strip != s.strip) {
      if (!finishPadding(s)) return -1;
      s.strip = strip;
      s.stripBytes = 0;
      try {
        if (s.stripShifts.size() <= strip) s.stripShifts.resize(size_t(strip) + 1, 0);
      } catch (const std::bad_alloc&) {
        return -1;
      }
      s.stripShifts[strip] = s.shift;
    }
    s.stripBytes += uint64_t(size);
  }
  if (s.writer) {
    const ByteRange bytes{static_cast<const uint8_t*>(buffer), size_t(size)};
    // libtiff writes forwards but for the header it patches; a gap past the end is zeros.
    if (s.position > s.written) {
      const Bytes zeros(size_t(s.position - s.written), 0);
      if (!s.writer->write({zeros.data(), zeros.size()}).ok()) return -1;
      s.written = s.position;
    }
    const FileStatus status = s.position == s.written
                                  ? s.writer->write(bytes)
                                  : s.writer->writeAt(s.position + s.shift, bytes);
    if (!status.ok()) return -1;
    s.position += uint64_t(size);
    s.written = std::max(s.written, s.position);
    return size;
  }
  if (!s.output) return -1;
  const uint64_t at = s.position + s.shift;
  try {
    if (at + uint64_t(size) > s.output->size()) s.output->resize(size_t(at + uint64_t(size)));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  std::memcpy(s.output->data() + at, buffer, size_t(size));
  s.position += uint64_t(size);
  s.written = std::max(s.written, s.position);
  return size;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence) {
  TiffStream& s = streamOf(handle);
  const uint64_t base = whence == SEEK_CUR ? s.position : whence == SEEK_END ? sizeOf(s) : 0;
  s.position = base + offset;
  return s.position;
}

int closeProc(thandle_t) { return 0; }
toff_t sizeProc(thandle_t handle) { return sizeOf(streamOf(handle)); }
int mapProc(thandle_t, void**, toff_t*) { return 0; }
void unmapProc(thandle_t, void*, toff_t) {}

void keepFirst(TiffStream& stream, const char* format, va_list args, bool onlyLostData) {
  if (!stream.error.empty()) return;
  char text[256];
  std::vsnprintf(text, sizeof text, format, args);
  // A tag whose data lies past the end of the file is dropped with a mere warning; that
  // is a truncated file, not a detail.
  if (onlyLostData && !std::strstr(text, "IO error")) return;
  for (char* c = text; *c; ++c)
    if (*c == '\n') *c = ' ';
  stream.error = text;
}

int onError(TIFF*, void* user, const char*, const char* format, va_list args) {
  keepFirst(*static_cast<TiffStream*>(user), format, args, false);
  return 1;
}

int onWarning(TIFF*, void* user, const char*, const char* format, va_list args) {
  keepFirst(*static_cast<TiffStream*>(user), format, args, true);
  return 1;
}

}  // namespace

TIFF* openTiff(TiffStream& stream, const char* mode) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (!options) {
    stream.error = "out of memory";
    return nullptr;
  }
  TIFFOpenOptionsSetErrorHandlerExtR(options, onError, &stream);
  TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, &stream);
  TIFF* tif = TIFFClientOpenExt("image", mode, &stream, readProc, writeProc, seekProc, closeProc,
                                sizeProc, mapProc, unmapProc, options);
  TIFFOpenOptionsFree(options);
  if (!tif && stream.error.empty()) stream.error = "not a TIFF image";
  return tif;
}

// The zero byte after a strip of an odd length, appended where libtiff's next bytes would go.
bool finishPadding(TiffStream& s) {
  if (s.stripBytes % 2 == 0) return true;
  s.stripBytes = 0;
  const uint8_t zero = 0;
  if (s.writer) {
    if (s.position != s.written || !s.writer->write({&zero, 1}).ok()) return false;
  } else {
    if (!s.output) return false;
    try {
      s.output->push_back(zero);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  ++s.shift;
  return true;
}
