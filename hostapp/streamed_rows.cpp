#include "hostapp/streamed_rows.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Rings grow in steps of this many rows, so a window sized to a tile row is not regrown for
// the overlap of the next.
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

PixelRows StreamedRows::rowsOf(const std::vector<uint8>& ring) const {
  PixelRows rows;
  rows.base = const_cast<uint8*>(ring.data());
  rows.rowBytes = rowBytes_;
  rows.ringRows = std::max<int32>(ring_, 1);
  return rows;
}

void StreamedRows::grow(int32 rows) {
  const int32 size = (rows + kRowStep - 1) / kRowStep * kRowStep;
  std::vector<uint8> source(size_t(size) * rowBytes_);
  std::vector<uint8> result(size_t(size) * rowBytes_);
  for (int32 y = first_; y < end_; ++y) {
    std::memcpy(source.data() + size_t(y % size) * rowBytes_,
                source_.data() + size_t(y % ring_) * rowBytes_, rowBytes_);
    std::memcpy(result.data() + size_t(y % size) * rowBytes_,
                result_.data() + size_t(y % ring_) * rowBytes_, rowBytes_);
  }
  source_.swap(source);
  result_.swap(result);
  ring_ = size;
}

// Reads rows up to `end` (not beyond the picture) into the source; the result starts as a copy.
bool StreamedRows::readUpTo(int32 end) {
  end = std::min(end, height_);
  if (end <= end_) return true;
  if (end - first_ > ring_) grow(end - first_);
  while (end_ < end) {
    const int32 slot = end_ % ring_;
    const int32 count = std::min(end - end_, ring_ - slot);
    uint8* source = source_.data() + size_t(slot) * rowBytes_;
    if (failed(reader_->readRows(source, count), input_)) return false;
    std::memcpy(result_.data() + size_t(slot) * rowBytes_, source, size_t(count) * rowBytes_);
    end_ += count;
    if (progress_) progress_(end_, first_);
  }
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
    const int32 step = std::min(top, first_ + std::max(ring_, kRowStep));
    if (!reach(first_, step)) return false;
    const int32 slot = first_ % ring_;
    const int32 count = std::min(step - first_, ring_ - slot);
    FileStatus written;
    try {
      written = writer_->writeRows(result_.data() + size_t(slot) * rowBytes_, count);
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
