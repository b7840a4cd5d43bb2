#include "hostapp/streamed_rows.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The window grows in steps of this many rows, so a window sized to a tile row is not regrown
// for the overlap of the next.
constexpr int32 kRowStep = 64;

}  // namespace

StreamedRows::StreamedRows(ImageRowReader* reader, const std::string& input, ImageRowWriter* writer,
                           const std::string& output)
    : reader_(reader),
      writer_(writer),
      input_(input),
      output_(output),
      rowBytes_(reader->description().rowBytes()),
      height_(reader->description().height) {}

// Keeps the first failure, named after its file as the whole-picture reader and writer name it.
bool StreamedRows::failed(const FileStatus& status, const std::string& path) {
  if (status.ok()) return false;
  status_ = status;
  if (status_.message.compare(0, path.size() + 1, path + ":") != 0)
    status_.message = path + ": " + status_.message;
  return true;
}

PixelRows StreamedRows::rowsOf(const RowMemory& rows) const {
  PixelRows window;
  window.base = rows.data();
  window.rowBytes = rowBytes_;
  window.firstRow = origin_;
  return window;
}

// Makes room for the rows up to `end`: the rows held move to the start of the memory, which
// grows first when they and the new ones do not fit.
void StreamedRows::makeRoom(int32 end) {
  if (end - origin_ <= capacity_) return;
  const size_t held = size_t(end_ - first_) * rowBytes_;
  const size_t from = size_t(first_ - origin_) * rowBytes_;
  if (end - first_ > capacity_) {
    const int32 size = (end - first_ + kRowStep - 1) / kRowStep * kRowStep;
    RowMemory source(size_t(size) * rowBytes_);
    RowMemory result(size_t(size) * rowBytes_);
    if (held > 0) {
      std::memcpy(source.data(), source_.data() + from, held);
      std::memcpy(result.data(), result_.data() + from, held);
    }
    source_.swap(source);
    result_.swap(result);
    capacity_ = size;
  } else if (held > 0) {
    std::memmove(source_.data(), source_.data() + from, held);
    std::memmove(result_.data(), result_.data() + from, held);
  }
  origin_ = first_;
}

// Reads rows up to `end` (not beyond the picture) into the source; the result starts as a copy.
bool StreamedRows::readUpTo(int32 end) {
  end = std::min(end, height_);
  if (end <= end_) return true;
  makeRoom(end);
  const int32 count = end - end_;
  uint8* source = source_.data() + size_t(end_ - origin_) * rowBytes_;
  if (failed(reader_->readRows(source, count), input_)) return false;
  std::memcpy(result_.data() + size_t(end_ - origin_) * rowBytes_, source,
              size_t(count) * rowBytes_);
  end_ = end;
  if (progress_) progress_(end_, first_);
  return true;
}

bool StreamedRows::reach(int32 top, int32 bottom) {
  if (!status_.ok()) return false;
  if (top < first_) {
    lost_ = true;
    return false;
  }
  try {
    return readUpTo(bottom);
  } catch (const std::bad_alloc&) {
    status_ = FileStatus::runError("out of memory for this image");
    return false;
  }
}

bool StreamedRows::passOn(int32 top) {
  top = std::min(top, height_);
  if (!status_.ok()) return false;
  if (top <= first_) return true;
  // Rows no request has read yet go through a window of the present size.
  while (first_ < top) {
    const int32 step = std::min(top, first_ + std::max(capacity_, kRowStep));
    if (!reach(first_, step)) return false;
    const int32 count = step - first_;
    FileStatus written;
    try {
      written = writer_->writeRows(result_.data() + size_t(first_ - origin_) * rowBytes_, count);
    } catch (const std::bad_alloc&) {
      written = FileStatus::runError("out of memory for this image");
    }
    if (failed(written, output_)) return false;
    first_ += count;
    if (progress_) progress_(end_, first_);
  }
  return true;
}

FileStatus StreamedRows::finish() {
  if (!passOn(height_)) return status_;
  failed(writer_->finish(), output_);
  return status_;
}
