// The pixels of a streamed run: a window of rows read from a file as the tiles ask for them,
// with the result of the rows the filter has worked on, which go to the file being written as
// soon as no request can reach them again. Source and result hold the same rows, one after the
// other: a window that moves down the picture, so that any rows in it are one block of memory
// the host can hand the filter in place of a copy. When the window reaches the end of its
// memory, the rows still held (the overlap of two tile rows) move to its start.
//
// The window grows to whatever a request reads, so any request below the rows already passed on
// is served. One that reaches back above them cannot be (those rows are written): reach() then
// fails and lost() says so, and the caller runs the picture again whole. A read or write
// failure fails reach() too, with the reason in status().
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "hostapp/filter_run.h"
#include "hostapp/row_memory.h"
#include "imagefiles/image_rows.h"

class StreamedRows : public RowStore {
 public:
  // `reader` and `writer` are borrowed; the document is the reader's picture. The names are the
  // files', for the messages.
  StreamedRows(ImageRowReader* reader, const std::string& input, ImageRowWriter* writer,
               const std::string& output);

  bool reach(int32 top, int32 bottom) override;
  PixelRows source() const override { return rowsOf(source_); }
  PixelRows result() const override { return rowsOf(result_); }
  bool passOn(int32 top) override;

  // Told the rows read and the rows passed on whenever either grows.
  void reportTo(std::function<void(int32 read, int32 written)> progress) {
    progress_ = std::move(progress);
  }
  // After a successful run: passes on the rest of the picture and completes the file.
  FileStatus finish();
  bool lost() const { return lost_; }
  const FileStatus& status() const { return status_; }
  // The most rows held at once.
  int32 mostRows() const { return capacity_; }

 private:
  PixelRows rowsOf(const RowMemory& rows) const;
  void makeRoom(int32 end);
  bool readUpTo(int32 end);
  bool failed(const FileStatus& status, const std::string& path);

  ImageRowReader* reader_;
  ImageRowWriter* writer_;
  std::string input_;
  std::string output_;
  size_t rowBytes_;
  int32 height_;
  int32 capacity_ = 0;  // rows source and result have room for
  int32 origin_ = 0;    // the row at the start of source and result
  int32 first_ = 0;     // the first row not yet passed on
  int32 end_ = 0;       // the first row not yet read
  RowMemory source_;
  RowMemory result_;
  std::function<void(int32 read, int32 written)> progress_;
  bool lost_ = false;
  FileStatus status_;
};
