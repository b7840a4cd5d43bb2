// Sharpen streams the files that allow it, a band of rows at a time, and writes exactly the bytes
// of the whole-picture run; what cannot stream runs whole; a failure half-way leaves no file.
#include <gtest/gtest.h>

#include <exiv2/exiv2.hpp>
#include <jpeglib.h>
#include <png.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstring>

#include "hostapi/constants.h"
#include "imagefiles/image_files.h"
#include "tests/hostapp/cli_fixtures.h"

namespace {

using namespace cli_fixtures;

bool streamed(const Outcome& outcome) {
  return outcome.err.find("streamed with") != std::string::npos;
}

// Runs sharpen on `input` streamed and whole; returns both outputs' bytes.
struct BothRuns {
  Outcome streamedRun;
  std::string streamedBytes;
  Outcome wholeRun;
  std::string wholeBytes;
};

BothRuns runBoth(ScratchFolder& folder, const std::string& input, const std::string& extension,
                 const std::vector<std::string>& options = {}) {
  BothRuns runs;
  std::vector<std::string> args{"sharpen", input, folder.path("streamed" + extension), "--stats"};
  args.insert(args.end(), options.begin(), options.end());
  runs.streamedRun = runTool(args);
  runs.streamedBytes = readFile(folder.path("streamed" + extension));
  args[2] = folder.path("whole" + extension);
  runs.wholeRun = runTool(args, false);
  runs.wholeBytes = readFile(folder.path("whole" + extension));
  return runs;
}

// A picture taller than two tile rows and wider than one tile, so that rows are passed on
// between tile rows and tiles meet inside a row.
constexpr int kWidth = 700;
constexpr int kHeight = 1400;

TEST(StreamingTest, StreamedOutputIsTheWholeRunsByteForByte) {
  struct Case {
    const char* input;  // file name; its extension chooses the format
    ImageMode mode;
    int extraChannels;
    bool lossy;  // filled with gentle ramps rather than distinct samples
    bool streams;
  };
  const Case cases[] = {
      {"rgb.ppm", ImageMode::rgb, 0, false, true},
      {"grey.pgm", ImageMode::grayscale, 0, false, true},
      {"cmyk.pam", ImageMode::cmyk, 0, false, true},
      {"rgba.pam", ImageMode::rgb, 1, false, true},
      {"rgb.jpg", ImageMode::rgb, 0, true, true},
      {"grey.jpg", ImageMode::grayscale, 0, true, true},
      {"cmyk.jpg", ImageMode::cmyk, 0, true, true},
      {"rgb.tif", ImageMode::rgb, 0, false, true},
      {"cmyk.tif", ImageMode::cmyk, 0, false, true},
      {"greya.tif", ImageMode::grayscale, 1, false, true},
      {"lab.tif", ImageMode::lab, 0, false, true},
      {"rgb.png", ImageMode::rgb, 0, false, true},
      {"greya.png", ImageMode::grayscale, 1, false, true},
      // BMP is read whole: the same bytes, by the whole-picture path.
      {"rgb.bmp", ImageMode::rgb, 0, false, false},
  };
  ScratchFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    const std::string input = folder.path(c.input);
    ASSERT_TRUE(writeImageFile(input, c.lossy ? files_test::smoothRaster(kWidth, kHeight, c.mode)
                                              : files_test::distinctRaster(kWidth, kHeight, c.mode,
                                                                           c.extraChannels))
                    .ok());
    const std::string extension = std::string(c.input).substr(std::string(c.input).find('.'));
    BothRuns runs = runBoth(folder, input, extension);
    ASSERT_EQ(runs.streamedRun.code, 0) << runs.streamedRun.err;
    ASSERT_EQ(runs.wholeRun.code, 0) << runs.wholeRun.err;
    EXPECT_EQ(streamed(runs.streamedRun), c.streams) << runs.streamedRun.err;
    EXPECT_FALSE(streamed(runs.wholeRun));
    EXPECT_FALSE(runs.streamedBytes.empty());
    EXPECT_TRUE(runs.streamedBytes == runs.wholeBytes) << "the outputs differ";
  }
}

// A camera JPEG, TIFF or PNG: profile, EXIF with an orientation that turns the picture a quarter,
// IPTC and XMP. Everything besides the pixels comes out as the whole run writes it, and the rows
// stream all the same: the document keeps the stored pixels, only the print size turns.
TEST(StreamingTest, MetadataAndAQuarterTurnStillStream) {
  ScratchFolder folder;
  Raster raster = files_test::smoothRaster(kWidth, kHeight, ImageMode::rgb);
  raster.iccProfile = files_test::profileFor(ImageMode::rgb);
  for (const std::string extension : {".jpg", ".tif", ".png"}) {
    SCOPED_TRACE(extension);
    const std::string input = folder.path("camera" + extension);
    ASSERT_TRUE(writeImageFile(input, raster).ok());
    {
      auto image = Exiv2::ImageFactory::open(input);
      image->readMetadata();
      Exiv2::ExifData exif = image->exifData();
      exif["Exif.Image.Make"] = "Canon";
      exif["Exif.Image.Orientation"] = uint16_t(6);
      exif["Exif.Image.XResolution"] = Exiv2::URational(240, 1);
      exif["Exif.Image.YResolution"] = Exiv2::URational(240, 1);
      exif["Exif.Photo.PixelXDimension"] = uint32_t(kWidth);
      exif["Exif.Photo.PixelYDimension"] = uint32_t(kHeight);
      image->setExifData(exif);
      Exiv2::IptcData iptc;
      iptc["Iptc.Application2.Keywords"] = "harbour";
      image->setIptcData(iptc);
      Exiv2::XmpData xmp;
      xmp["Xmp.dc.creator"] = "Jane Doe";
      image->setXmpData(xmp);
      image->writeMetadata();
    }
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{}, std::vector<std::string>{"--print-width", "200"}}) {
      BothRuns runs = runBoth(folder, input, extension, options);
      ASSERT_EQ(runs.streamedRun.code, 0) << runs.streamedRun.err;
      EXPECT_TRUE(streamed(runs.streamedRun)) << runs.streamedRun.err;
      EXPECT_TRUE(runs.streamedBytes == runs.wholeBytes) << "the outputs differ";
      Raster written;
      ASSERT_TRUE(readImageFile(folder.path("streamed" + extension), written).ok());
      EXPECT_EQ(written.metadata.orientation, 6);
      EXPECT_FALSE(written.metadata.iptc.empty());
      EXPECT_NE(written.metadata.xmp.find("Jane Doe"), std::string::npos);
      EXPECT_EQ(written.iccProfile, raster.iccProfile);
    }
  }
}

// The module, except that the request after its fourth tile also reaches up to the top of the
// picture, above the rows a streamed run has written by then.
int continuesOfRun = 0;
void HOSTAPI_CALL reachingBack(int16 selector, void* block, intptr_t* data, int16* result) {
  ENTRYPOINT(selector, block, data, result);
  auto* record = static_cast<FilterRecord*>(block);
  if (selector == filterSelectorStart) continuesOfRun = 0;
  if (selector == filterSelectorContinue && ++continuesOfRun == 4 &&
      record->outRect.top < record->outRect.bottom) {
    record->inRect.top = 0;
    record->outRect.top = 0;
  }
}

// The streamed run finds the rows gone, says nothing and runs the picture whole: the file is the
// whole run's.
TEST(StreamingTest, ARequestReachingBackRunsThePictureWhole) {
  ScratchFolder folder;
  const std::string input = folder.path("in.ppm");
  writeFile(input, cli_fixtures::ppm(kWidth, kHeight));
  const std::vector<std::string> args{"sharpen", input, folder.path("out.ppm"), "--stats"};
  const Outcome fallback = runTool(args, true, reachingBack);
  ASSERT_EQ(fallback.code, 0) << fallback.err;
  EXPECT_FALSE(streamed(fallback)) << fallback.err;
  const std::string fallbackBytes = readFile(folder.path("out.ppm"));
  const Outcome whole = runTool(args, false, reachingBack);
  ASSERT_EQ(whole.code, 0) << whole.err;
  EXPECT_EQ(fallback.err, whole.err) << "one summary, said once";
  EXPECT_TRUE(readFile(folder.path("out.ppm")) == fallbackBytes);
  // Unchanged, the module streams the same picture.
  EXPECT_TRUE(streamed(runTool(args)));
}

// An RGB TIFF of LZW-compressed tiles, `tile` pixels square, clipped at the right and bottom.
void writeTiledTiff(const std::string& path, const Raster& raster, uint32_t tile) {
  TIFF* tif = files_test::startTiff(path, uint32_t(raster.width), uint32_t(raster.height), 8, 3,
                                    PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  TIFFSetField(tif, TIFFTAG_TILEWIDTH, tile);
  TIFFSetField(tif, TIFFTAG_TILELENGTH, tile);
  std::vector<uint8_t> block(size_t(tile) * tile * 3);
  uint32_t index = 0;
  for (uint32_t top = 0; top < uint32_t(raster.height); top += tile) {
    for (uint32_t left = 0; left < uint32_t(raster.width); left += tile, ++index) {
      std::fill(block.begin(), block.end(), 0);
      for (uint32_t r = 0; r < tile && top + r < uint32_t(raster.height); ++r)
        for (uint32_t c = 0; c < tile && left + c < uint32_t(raster.width); ++c)
          std::memcpy(&block[(size_t(r) * tile + c) * 3], raster.row(int(top + r)) + (left + c) * 3,
                      3);
      TIFFWriteEncodedTile(tif, index, block.data(), tmsize_t(block.size()));
    }
  }
  TIFFClose(tif);
}

TEST(StreamingTest, TiledTiffStreamsTileRowByTileRow) {
  ScratchFolder folder;
  const std::string input = folder.path("tiled.tif");
  writeTiledTiff(input, files_test::distinctRaster(kWidth, kHeight, ImageMode::rgb, 0), 96);
  BothRuns runs = runBoth(folder, input, ".tif");
  ASSERT_EQ(runs.streamedRun.code, 0) << runs.streamedRun.err;
  EXPECT_TRUE(streamed(runs.streamedRun)) << runs.streamedRun.err;
  EXPECT_TRUE(runs.streamedBytes == runs.wholeBytes) << "the outputs differ";
}

// Samples of another maximum than 255 are scaled row by row as the whole reader scales them;
// one over the maximum fails the run when its row is reached, leaving no file.
TEST(StreamingTest, PnmOfAnotherMaximumValueStreams) {
  ScratchFolder folder;
  std::string samples(size_t(kWidth) * kHeight, '\0');
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = char((i * 13 + i / 700) % 101);
  const std::string header =
      "P5\n" + std::to_string(kWidth) + " " + std::to_string(kHeight) + "\n100\n";
  writeFile(folder.path("hundred.pgm"), header + samples);
  BothRuns runs = runBoth(folder, folder.path("hundred.pgm"), ".pgm");
  ASSERT_EQ(runs.streamedRun.code, 0) << runs.streamedRun.err;
  EXPECT_TRUE(streamed(runs.streamedRun));
  EXPECT_TRUE(runs.streamedBytes == runs.wholeBytes) << "the outputs differ";
  samples[samples.size() - 5] = char(101);
  writeFile(folder.path("over.pgm"), header + samples);
  Outcome outcome =
      runTool({"sharpen", folder.path("over.pgm"), folder.path("out.pgm"), "--quiet"});
  EXPECT_EQ(outcome.code, 1);
  EXPECT_NE(outcome.err.find("over the maximum value"), std::string::npos) << outcome.err;
  EXPECT_EQ(readFile(folder.path("out.pgm")), "");
}

// An RGB PNG written with libpng itself: interlaced, or with a text chunk after the pixels.
void writePng(const std::string& path, const Raster& raster, bool interlaced, bool textAfter) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(raster.width), png_uint_32(raster.height), 8,
               PNG_COLOR_TYPE_RGB, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_bytep> rows(size_t(raster.height));
  for (int y = 0; y < raster.height; ++y) rows[size_t(y)] = const_cast<png_bytep>(raster.row(y));
  png_write_image(png, rows.data());
  png_text text{};
  text.compression = PNG_TEXT_COMPRESSION_NONE;
  text.key = const_cast<png_charp>("Comment");
  text.text = const_cast<png_charp>("written after the pixels");
  text.text_length = std::strlen(text.text);
  if (textAfter) png_set_text(png, info, &text, 1);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

// A progressive JPEG or an interlaced PNG, whose decoders need the whole picture anyway, a PNG
// with text after its pixels, plain-text PNM and a 16-bit TIFF, whose result is carried back
// against its full-depth samples, are read whole.
TEST(StreamingTest, FilesReadWholeGiveTheSameBytes) {
  ScratchFolder folder;
  const Raster raster = files_test::smoothRaster(kWidth, 700, ImageMode::rgb);
  {
    TIFF* tif = files_test::startTiff(folder.path("deep.tif"), kWidth, 700, 16, 3, PHOTOMETRIC_RGB);
    std::vector<uint16_t> row(size_t(kWidth) * 3);
    for (int y = 0; y < 700; ++y) {
      for (size_t i = 0; i < row.size(); ++i) row[i] = uint16_t(raster.row(y)[i] * 257 + (i % 7));
      TIFFWriteScanline(tif, row.data(), uint32_t(y), 0);
    }
    TIFFClose(tif);
  }
  const std::string progressive = folder.path("progressive.jpg");
  {
    std::FILE* file = std::fopen(progressive.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = JDIMENSION(raster.width);
    cinfo.image_height = JDIMENSION(raster.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < raster.height; ++y) {
      JSAMPROW row = const_cast<JSAMPROW>(raster.row(y));
      jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
  }
  std::string plain = "P3\n4 3\n255\n";
  for (int i = 0; i < 36; ++i) plain += std::to_string(i * 7) + " ";
  writeFile(folder.path("plain.ppm"), plain);
  writePng(folder.path("interlaced.png"), raster, true, false);
  writePng(folder.path("text-after.png"), raster, false, true);
  for (const std::string& input : {progressive, folder.path("plain.ppm"), folder.path("deep.tif"),
                                   folder.path("interlaced.png"), folder.path("text-after.png")}) {
    SCOPED_TRACE(input);
    const std::string extension = input.substr(input.rfind('.'));
    BothRuns runs = runBoth(folder, input, extension);
    ASSERT_EQ(runs.streamedRun.code, 0) << runs.streamedRun.err;
    EXPECT_FALSE(streamed(runs.streamedRun));
    EXPECT_TRUE(runs.streamedBytes == runs.wholeBytes);
  }
}

// A JPEG whose data ends two thirds of the way is found out only when those rows are reached,
// after the first rows are written: the run fails as the whole-picture reader would, with one
// error line, and neither the output nor a temporary file is left. A PPM too short for its
// header's size fails before any row.
TEST(StreamingTest, AFailureHalfWayLeavesNoFile) {
  ScratchFolder folder;
  ASSERT_TRUE(writeImageFile(folder.path("full.jpg"),
                             files_test::distinctRaster(kWidth, kHeight, ImageMode::rgb, 0))
                  .ok());
  const std::string jpeg = readFile(folder.path("full.jpg"));
  writeFile(folder.path("cut.jpg"), jpeg.substr(0, jpeg.size() * 2 / 3));
  const std::string ppm = cli_fixtures::ppm(kWidth, kHeight);
  writeFile(folder.path("cut.ppm"), ppm.substr(0, ppm.size() - 1));
  for (const char* name : {"cut.jpg", "cut.ppm"}) {
    SCOPED_TRACE(name);
    const std::string extension = std::string(name).substr(3);
    const std::string output = folder.path(std::string("out") + extension);
    Outcome outcome = runTool({"sharpen", folder.path(name), output, "--quiet"});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_TRUE(isOneErrorLine(outcome.err)) << outcome.err;
    EXPECT_NE(outcome.err.find(folder.path(name) + ": "), std::string::npos) << outcome.err;
    EXPECT_EQ(readFile(output), "");
  }
  // Writing fails half-way (a file size limit), on the thread that encodes behind the filter.
  const ChildRun run = runInChild([&](int* exitCode) {
    struct rlimit limit = {20000, 20000};
    setrlimit(RLIMIT_FSIZE, &limit);
    const Outcome outcome =
        runTool({"sharpen", folder.path("full.jpg"), folder.path("out.jpg"), "--quiet"});
    *exitCode = outcome.code;
    return outcome.err;
  });
  ASSERT_TRUE(WIFEXITED(run.status));
  EXPECT_EQ(WEXITSTATUS(run.status), 1);
  EXPECT_TRUE(isOneErrorLine(run.text)) << run.text;
  EXPECT_NE(run.text.find("File too large"), std::string::npos) << run.text;
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"cut.jpg", "cut.ppm", "full.jpg"}));
}

}  // namespace
