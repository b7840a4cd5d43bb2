// Bad input and failed saves: every refusal is a clean FileStatus of the right kind, with a
// one-line message, and a failed save leaves nothing behind.
#include "imagefiles/codecs.h"
#include "imagefiles/image_files.h"
#include "tests/hostapp/files_test_fixtures.h"

#include <gtest/gtest.h>

#include <png.h>
#include <tiffio.h>

#include <cstring>

using namespace files_test;

namespace {

void expectRunError(const FileStatus& status, const std::string& context) {
  EXPECT_EQ(status.kind, FileErrorKind::run) << context;
  EXPECT_FALSE(status.message.empty()) << context;
  EXPECT_EQ(status.message.find('\n'), std::string::npos) << context << ": " << status.message;
}

// A valid file of each format, encoded from a small image with a profile where it fits.
Bytes encodedSample(const std::string& name) {
  ScratchFolder folder;
  const bool gray = name.find(".pgm") != std::string::npos;
  Raster image = distinctRaster(6, 5, gray ? ImageMode::grayscale : ImageMode::rgb, 0);
  image.resolution = {true, 300, 300};
  image.iccProfile = profileFor(image.mode);
  writeImageFile(folder.path(name), image);
  return readBytes(folder.path(name));
}

class DamagedFile : public testing::TestWithParam<const char*> {};

// Every proper prefix of a file is refused, without a crash or a read past the data.
TEST_P(DamagedFile, EveryTruncationIsRefused) {
  const Bytes whole = encodedSample(GetParam());
  ASSERT_GT(whole.size(), 20u);
  ScratchFolder folder;
  const std::string path = folder.path(GetParam());
  for (size_t length = 0; length < whole.size(); ++length) {
    writeBytes(path, Bytes(whole.begin(), whole.begin() + long(length)));
    Raster raster;
    raster.width = -1;
    expectRunError(readImageFile(path, raster), "length " + std::to_string(length));
    EXPECT_EQ(raster.width, -1) << "a refused file must not touch the raster";
  }
}

// Single damaged bytes anywhere may or may not be detectable (raw samples carry no check),
// but decoding must never crash, and whatever it answers must be well formed.
TEST_P(DamagedFile, DamagedBytesNeverCrash) {
  const Bytes whole = encodedSample(GetParam());
  ScratchFolder folder;
  const std::string path = folder.path(GetParam());
  for (size_t at = 0; at < whole.size(); ++at) {
    for (uint8_t value : {uint8_t(0x00), uint8_t(0xFF), uint8_t(whole[at] ^ 0x55)}) {
      Bytes damaged = whole;
      damaged[at] = value;
      writeBytes(path, damaged);
      Raster raster;
      const FileStatus status = readImageFile(path, raster);
      if (status.ok()) {
        EXPECT_EQ(raster.pixels.size(), size_t(raster.height) * raster.rowBytes());
      } else {
        expectRunError(status, "byte " + std::to_string(at));
      }
    }
  }
}

TEST_P(DamagedFile, WrongSignatureIsRefused) {
  Bytes bytes = encodedSample(GetParam());
  bytes[0] = 'X';
  bytes[1] = 'Y';
  ScratchFolder folder;
  writeBytes(folder.path(GetParam()), bytes);
  Raster raster;
  expectRunError(readImageFile(folder.path(GetParam()), raster), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Formats, DamagedFile,
                         testing::Values("a.png", "a.jpg", "a.tif", "a.ppm", "a.pgm", "a.pam",
                                         "a.bmp"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param + 2);
                         });

TEST(ImageFileErrors, MissingFileIsARunErrorNamingThePath) {
  ScratchFolder folder;
  Raster raster;
  const FileStatus status = readImageFile(folder.path("absent.png"), raster);
  expectRunError(status, "absent");
  EXPECT_NE(status.message.find("absent.png"), std::string::npos);
}

// --- documents over the interface's limit, refused from the header alone ---

void writeWidePng(const std::string& path, png_uint_32 width, png_uint_32 height) {
  FILE* file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(width, 0);
  for (png_uint_32 y = 0; y < height; ++y) png_write_row(png, row.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

void writeWideTiff(const std::string& path, uint32_t width, uint32_t height) {
  TIFF* tif = startTiff(path, width, height, 8, 1, PHOTOMETRIC_MINISBLACK);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 64);
  std::vector<uint8_t> row(width, 0);
  for (uint32_t y = 0; y < height; ++y) TIFFWriteScanline(tif, row.data(), y, 0);
  TIFFClose(tif);
}

// A JPEG's size sits in its SOF0 marker: height at +5, width at +7, big-endian.
Bytes jpegClaiming(uint16_t width, uint16_t height) {
  Bytes bytes = encodedSample("a.jpg");
  for (size_t i = 0; i + 9 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      bytes[i + 5] = uint8_t(height >> 8);
      bytes[i + 6] = uint8_t(height);
      bytes[i + 7] = uint8_t(width >> 8);
      bytes[i + 8] = uint8_t(width);
      break;
    }
  }
  return bytes;
}

Bytes bmpClaiming(int32_t width, int32_t height) {
  Bytes bytes = encodedSample("a.bmp");
  std::memcpy(&bytes[18], &width, 4);  // little-endian host
  std::memcpy(&bytes[22], &height, 4);
  return bytes;
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(ImageFileErrors, DocumentsOverTheSideLimitAreRefused) {
  ScratchFolder folder;
  writeWidePng(folder.path("wide.png"), 32768, 1);
  writeWidePng(folder.path("tall.png"), 1, 40000);
  writeWideTiff(folder.path("wide.tif"), 40000, 1);
  writeBytes(folder.path("wide.jpg"), jpegClaiming(40000, 8));
  writeBytes(folder.path("tall.bmp"), bmpClaiming(6, -40000));
  writeBytes(folder.path("huge.pgm"), text("P5 40000 40000 255\n\x01\x02"));
  writeBytes(folder.path("huge.pam"),
             text("P7\nWIDTH 32768\nHEIGHT 2\nDEPTH 3\nMAXVAL 255\nTUPLTYPE RGB\nENDHDR\n"));
  for (const char* name :
       {"wide.png", "tall.png", "wide.tif", "wide.jpg", "tall.bmp", "huge.pgm", "huge.pam"}) {
    Raster raster;
    const FileStatus status = readImageFile(folder.path(name), raster);
    expectRunError(status, name);
    EXPECT_NE(status.message.find("32767"), std::string::npos) << name << ": " << status.message;
  }
}

// --- 16-bit samples ---

TEST(ImageFileErrors, SixteenBitNetpbmImagesAreRefusedWithTheReason) {
  ScratchFolder folder;
  writeBytes(folder.path("deep.pgm"), text("P2 2 1 65535\n1000 60000\n"));
  writeBytes(folder.path("deep.pam"),
             text("P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 4095\nENDHDR\n\x01\x02"));
  for (const char* name : {"deep.pgm", "deep.pam"}) {
    Raster raster;
    const FileStatus status = readImageFile(folder.path(name), raster);
    expectRunError(status, name);
    EXPECT_NE(status.message.find(kSixteenBitMessage), std::string::npos) << status.message;
  }
}

// --- requests that can never work are usage errors ---

TEST(ImageFileErrors, UnknownExtensionsAreUsageErrors) {
  ScratchFolder folder;
  writeBytes(folder.path("photo.gif"), text("GIF89a"));
  const Raster image = distinctRaster(2, 2, ImageMode::rgb, 0);
  for (const char* name : {"photo.gif", "photo", "photo.png.bak", "dir.png/photo"}) {
    Raster raster;
    EXPECT_EQ(readImageFile(folder.path(name), raster).kind, FileErrorKind::usage) << name;
    EXPECT_EQ(writeImageFile(folder.path(name), image).kind, FileErrorKind::usage) << name;
  }
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"photo.gif"});
}

// For every extension and every mode: either the format holds the mode, or the refusal is a
// usage error that suggests a format which does.
TEST(ImageFileErrors, FormatsThatCannotHoldAModeSuggestOneThatCan) {
  const char* extensions[] = {".png", ".jpg", ".jpeg", ".tif", ".tiff",
                              ".pnm", ".ppm", ".pgm",  ".pam", ".bmp"};
  const ImageMode modes[] = {ImageMode::grayscale, ImageMode::rgb, ImageMode::cmyk, ImageMode::lab};
  for (const char* ext : extensions) {
    for (ImageMode mode : modes) {
      for (int extras : {0, 1}) {
        const FileStatus status = checkOutputFormat(std::string("out") + ext, mode, extras);
        if (status.ok()) continue;
        const std::string context = std::string(ext) + " " + modeName(mode);
        EXPECT_EQ(status.kind, FileErrorKind::usage) << context;
        const size_t at = status.message.find("save as ");
        ASSERT_NE(at, std::string::npos) << status.message;
        const std::string suggested =
            status.message.substr(at + 8, status.message.find(' ', at + 8) - at - 8);
        EXPECT_TRUE(checkOutputFormat("out" + suggested, mode, extras).ok()) << context;
      }
    }
  }
}

TEST(ImageFileErrors, ModeMismatchWritesNothing) {
  ScratchFolder folder;
  const struct {
    const char* name;
    ImageMode mode;
    int extras;
  } cases[] = {{"a.jpg", ImageMode::rgb, 1},       {"a.png", ImageMode::cmyk, 0},
               {"a.ppm", ImageMode::grayscale, 0}, {"a.pgm", ImageMode::rgb, 0},
               {"a.pam", ImageMode::lab, 0},       {"a.bmp", ImageMode::cmyk, 0},
               {"a.jpg", ImageMode::lab, 0},       {"a.pnm", ImageMode::rgb, 1}};
  for (const auto& c : cases) {
    const FileStatus status =
        writeImageFile(folder.path(c.name), distinctRaster(2, 2, c.mode, c.extras));
    EXPECT_EQ(status.kind, FileErrorKind::usage) << c.name;
  }
  EXPECT_TRUE(folder.entries().empty());
}

// --- failed saves leave nothing behind and keep what was there ---

TEST(ImageFileErrors, FailedSavesLeaveNoOutputAndKeepTheOldFile) {
  ScratchFolder folder;
  const Raster image = distinctRaster(3, 3, ImageMode::rgb, 0);
  writeBytes(folder.path("keep.jpg"), text("old contents"));
  WriteOptions badQuality;
  badQuality.jpegQuality = 0;
  EXPECT_EQ(writeImageFile(folder.path("keep.jpg"), image, badQuality).kind, FileErrorKind::usage);
  EXPECT_EQ(readBytes(folder.path("keep.jpg")), text("old contents"));

  // The final rename fails: the target is a folder. The temporary file must go.
  std::filesystem::create_directory(folder.path("taken.png"));
  expectRunError(writeImageFile(folder.path("taken.png"), image), "taken.png");
  expectRunError(writeImageFile(folder.path("missing/out.png"), image), "missing folder");
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"keep.jpg", "taken.png"}));
  EXPECT_TRUE(std::filesystem::is_empty(folder.path("taken.png")));
}

TEST(ImageFileErrors, AnEmptyRasterIsNotSaved) {
  ScratchFolder folder;
  Raster empty;
  expectRunError(writeImageFile(folder.path("a.png"), empty), "empty");
  EXPECT_TRUE(folder.entries().empty());
}

}  // namespace
