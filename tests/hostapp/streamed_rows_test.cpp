// A streamed run serves any request as the whole-picture run does: the window grows to a
// request that reaches far ahead, edge replication reads rows at the picture's edges, tiles
// handed over inside the window keep to the filter area, and a request that reaches back above
// rows already written is refused and reported as lost, never served with wrong pixels.
#include "hostapp/streamed_rows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "hostapi/constants.h"
#include "platform/driver.h"

namespace {

class MemoryReader : public ImageRowReader {
 public:
  explicit MemoryReader(const PixelDocument& document) : pixels_(document.pixels) {
    describeRaster(description_, document.description.width, document.description.height,
                   ImageMode::rgb, 0);
  }
  FileStatus readRows(uint8_t* rows, int count) override {
    const size_t bytes = size_t(count) * description_.rowBytes();
    std::memcpy(rows, pixels_.data() + next_, bytes);
    next_ += bytes;
    return FileStatus::success();
  }

 private:
  const std::vector<uint8>& pixels_;
  size_t next_ = 0;
};

class MemoryWriter : public ImageRowWriter {
 public:
  FileStatus writeRows(const uint8_t* rows, int count) override {
    written.insert(written.end(), rows, rows + size_t(count) * 3 * 40);
    return FileStatus::success();
  }
  FileStatus finish() override {
    finished = true;
    return FileStatus::success();
  }
  std::vector<uint8> written;
  bool finished = false;
};

// A filter that asks for the rectangles of a script one after the other, with edge
// replication, and writes each output sample as its input sample plus the tile's number.
struct ScriptedFilter {
  static std::vector<Rect>& script() {
    static std::vector<Rect> rects;
    return rects;
  }
  static size_t& next() {
    static size_t index = 0;
    return index;
  }
  static void request(FilterRecord* record) {
    const Rect rect = next() < script().size() ? script()[next()] : Rect{0, 0, 0, 0};
    record->inRect = record->outRect = rect;
    record->maskRect = Rect{0, 0, 0, 0};
    record->inLoPlane = record->outLoPlane = 0;
    record->inHiPlane = record->outHiPlane = int16(record->planes - 1);
    record->inputPadding = record->outputPadding = plugInWantsEdgeReplication;
    record->inputRate = 0;
  }
  static void HOSTAPI_CALL entry(int16 selector, void* block, intptr_t*, int16* result) {
    *result = noErr;
    auto* record = static_cast<FilterRecord*>(block);
    if (selector == filterSelectorStart) {
      next() = 0;
      request(record);
    } else if (selector == filterSelectorContinue) {
      // Rows lie rowBytes apart, which may be more than the rectangle's width: the host
      // hands over rows of its own memory where it can.
      const Rect& r = record->outRect;
      const size_t bytes = size_t(r.right - r.left) * size_t(record->planes);
      for (int32 y = 0; y < r.bottom - r.top; ++y) {
        const auto* in =
            static_cast<const uint8*>(record->inData) + size_t(y) * size_t(record->inRowBytes);
        auto* out = static_cast<uint8*>(record->outData) + size_t(y) * size_t(record->outRowBytes);
        for (size_t i = 0; i < bytes; ++i) out[i] = uint8(in[i] + next() + 1);
      }
      ++next();
      request(record);
    }
  }
};

PixelDocument pattern() {
  PixelDocument document;
  document.description.width = 40;
  document.description.height = 300;
  document.description.mode = plugInModeRGBColor;
  document.pixels.resize(document.byteCount());
  for (size_t i = 0; i < document.pixels.size(); ++i) document.pixels[i] = uint8(i * 7 + i / 120);
  return document;
}

TEST(StreamedRowsTest, RequestsAreServedAsTheWholeRunServesThemOrRefused) {
  struct Case {
    const char* name;
    std::vector<Rect> script;
    bool lost;
    Rect area = {0, 0, 0, 0};  // the filter area; empty for the whole picture
  };
  const std::vector<Case> cases = {
      {"tile rows with overlap", {{-2, 0, 100, 40}, {90, 0, 200, 40}, {190, 0, 302, 40}}, false},
      {"left and right tiles in a row",
       {{0, 0, 120, 25}, {0, 15, 120, 40}, {100, 0, 300, 25}, {100, 15, 300, 40}},
       false},
      {"one request of the whole picture and more", {{-5, -5, 310, 45}}, false},
      {"far ahead, then back within the window", {{250, 0, 300, 40}, {0, 0, 10, 40}}, false},
      {"back above rows already written",
       {{0, 0, 50, 40}, {100, 0, 150, 40}, {0, 0, 50, 40}},
       true},
      // What a filter writes outside the filter area does not reach the picture, whether its
      // tiles reach beyond the area or lie inside it.
      {"tiles beyond a filter area", {{0, 0, 120, 40}, {100, 0, 300, 40}}, false, {50, 5, 250, 35}},
      {"tiles inside a filter area",
       {{50, 5, 150, 35}, {140, 5, 250, 35}},
       false,
       {50, 5, 250, 35}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFilter::script() = c.script;
    platform::driver::reset();
    PixelDocument whole = pattern();
    whole.description.filterRect = c.area;
    const std::vector<uint8> source = whole.pixels;
    {
      FilterHost host(&ScriptedFilter::entry, &whole, HostServices());
      ASSERT_EQ(host.run(RunRequest{}).result, noErr);
    }
    const PixelDocument original = pattern();
    MemoryReader reader(original);
    MemoryWriter writer;
    StreamedRows rows(&reader, "in.ppm", &writer, "out.ppm");
    PixelDocument streamedDocument;
    streamedDocument.description = original.description;
    streamedDocument.description.filterRect = c.area;
    FilterHost host(&ScriptedFilter::entry, &streamedDocument, HostServices());
    host.streamRows(&rows);
    RunResult result = host.run(RunRequest{});
    EXPECT_EQ(rows.lost(), c.lost);
    if (c.lost) {
      EXPECT_NE(result.result, noErr);
      EXPECT_FALSE(writer.finished);
      continue;
    }
    ASSERT_EQ(result.result, noErr);
    ASSERT_TRUE(rows.finish().ok());
    EXPECT_TRUE(writer.finished);
    EXPECT_NE(whole.pixels, source);
    EXPECT_TRUE(writer.written == whole.pixels);
  }
}

}  // namespace
