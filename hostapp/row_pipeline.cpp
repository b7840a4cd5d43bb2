#include "hostapp/row_pipeline.h"

#ifdef _WIN32

std::unique_ptr<ImageRowReader> pipelinedReader(std::unique_ptr<ImageRowReader> file) {
  return file;
}

std::unique_ptr<ImageRowWriter> pipelinedWriter(std::unique_ptr<ImageRowWriter> file, size_t) {
  return file;
}

#else

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "hostapp/row_memory.h"

namespace {

// Rows a band carries, and bands a queue holds: enough to keep a decoder or encoder busy while
// the filter works through a tile, little against the window of a tile row.
constexpr int kBandRows = 32;
constexpr size_t kQueuedBands = 8;

struct Band {
  RowMemory rows;
  int count = 0;
  FileStatus status;
};

// A queue of bands between two threads; closing it wakes both sides.
class BandQueue {
 public:
  // False when the queue was closed.
  bool push(Band band) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return closed_ || bands_.size() < kQueuedBands; });
    if (closed_) return false;
    bands_.push_back(std::move(band));
    changed_.notify_all();
    return true;
  }
  // False when the queue was closed and is empty.
  bool pop(Band* band) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return closed_ || !bands_.empty(); });
    if (bands_.empty()) return false;
    *band = std::move(bands_.front());
    bands_.pop_front();
    changed_.notify_all();
    return true;
  }
  void close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    changed_.notify_all();
  }
  // Drops what is queued.
  void discard() {
    std::lock_guard<std::mutex> lock(mutex_);
    bands_.clear();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Band> bands_;
  bool closed_ = false;
};

// Band buffers kept for reuse, so that a run allocates a few of them instead of one per band.
constexpr size_t kSpareBands = kQueuedBands + 2;

class PipelinedReader : public ImageRowReader {
 public:
  explicit PipelinedReader(std::unique_ptr<ImageRowReader> file)
      : file_(std::move(file)), spare_(kSpareBands * kBandRows * file_->description().rowBytes()) {
    description_ = file_->description();
    worker_ = std::thread([this] { decode(); });
  }
  ~PipelinedReader() override {
    queue_.close();
    worker_.join();
  }

  FileStatus readRows(uint8_t* rows, int count) override {
    const size_t rowBytes = description_.rowBytes();
    while (count > 0) {
      if (used_ == current_.count) {
        if (!current_.status.ok()) return current_.status;
        spare_.giveBack(std::move(current_.rows));
        if (!queue_.pop(&current_)) return FileStatus::runError("read past the last row");
        used_ = 0;
        if (current_.count == 0) return current_.status;
      }
      const int take = std::min(count, current_.count - used_);
      std::memcpy(rows, current_.rows.data() + size_t(used_) * rowBytes, size_t(take) * rowBytes);
      rows += size_t(take) * rowBytes;
      used_ += take;
      count -= take;
    }
    return FileStatus::success();
  }

 private:
  // Reads the picture band by band until the end, a failure (passed on as a band of no rows)
  // or the reader's end.
  void decode() {
    const size_t rowBytes = description_.rowBytes();
    for (int y = 0; y < description_.height;) {
      Band band;
      band.count = std::min(kBandRows, description_.height - y);
      try {
        band.rows = spare_.take(size_t(band.count) * rowBytes);
        band.status = file_->readRows(band.rows.data(), band.count);
      } catch (const std::bad_alloc&) {
        band.status = FileStatus::runError("out of memory");
      }
      if (!band.status.ok()) {
        band.count = 0;
        band.rows = RowMemory();
        queue_.push(std::move(band));
        break;
      }
      y += band.count;
      if (!queue_.push(std::move(band))) return;
    }
    queue_.close();
  }

  std::unique_ptr<ImageRowReader> file_;
  SpareBlocks spare_;
  BandQueue queue_;
  Band current_;
  int used_ = 0;
  std::thread worker_;
};

class PipelinedWriter : public ImageRowWriter {
 public:
  PipelinedWriter(std::unique_ptr<ImageRowWriter> file, size_t rowBytes)
      : file_(std::move(file)), rowBytes_(rowBytes), spare_(kSpareBands * kBandRows * rowBytes) {
    worker_ = std::thread([this] { encode(); });
  }
  // Unfinished, the file is abandoned: what is queued is dropped, not written.
  ~PipelinedWriter() override {
    queue_.discard();
    stop();
  }

  FileStatus writeRows(const uint8_t* rows, int count) override {
    for (int done = 0; done < count;) {
      FileStatus failure = failureSoFar();
      if (!failure.ok()) return failure;
      Band band;
      band.count = std::min(kBandRows, count - done);
      const uint8_t* first = rows + size_t(done) * rowBytes_;
      band.rows = spare_.take(size_t(band.count) * rowBytes_);
      std::memcpy(band.rows.data(), first, size_t(band.count) * rowBytes_);
      if (!queue_.push(std::move(band))) return failureSoFar();
      done += band.count;
    }
    return FileStatus::success();
  }

  FileStatus finish() override {
    stop();
    FileStatus failure = failureSoFar();
    return failure.ok() ? file_->finish() : failure;
  }

 private:
  void encode() {
    Band band;
    while (queue_.pop(&band)) {
      FileStatus status;
      try {
        status = file_->writeRows(band.rows.data(), band.count);
      } catch (const std::bad_alloc&) {
        status = FileStatus::runError("out of memory");
      }
      spare_.giveBack(std::move(band.rows));
      if (!status.ok()) {
        std::lock_guard<std::mutex> lock(mutex_);
        failure_ = status;
        queue_.close();
        queue_.discard();
        return;
      }
    }
  }

  // Lets the worker write what is queued, then ends it.
  void stop() {
    if (!worker_.joinable()) return;
    queue_.close();
    worker_.join();
  }

  FileStatus failureSoFar() {
    std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
  }

  std::unique_ptr<ImageRowWriter> file_;
  size_t rowBytes_;
  SpareBlocks spare_;
  BandQueue queue_;
  std::mutex mutex_;
  FileStatus failure_;
  std::thread worker_;
};

}  // namespace

std::unique_ptr<ImageRowReader> pipelinedReader(std::unique_ptr<ImageRowReader> file) {
  return std::make_unique<PipelinedReader>(std::move(file));
}

std::unique_ptr<ImageRowWriter> pipelinedWriter(std::unique_ptr<ImageRowWriter> file,
                                                size_t rowBytes) {
  return std::make_unique<PipelinedWriter>(std::move(file), rowBytes);
}

#endif
