// What the samples in the files mean: CMYK and Lab as other programs write them, palettes,
// transparency, planar and tiled TIFF, plain-text and low-maxval PNM. Round trips alone
// cannot catch a conversion that is wrong the same way in both directions; these can.
#include "imagefiles/image_files.h"
#include "tests/hostapp/files_test_fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

using namespace files_test;

namespace {

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Raster load(const std::string& path) {
  Raster raster;
  const FileStatus status = readImageFile(path, raster);
  EXPECT_TRUE(status.ok()) << status.message;
  return raster;
}

// The first row of a TIFF's first strip, raw, and its photometric interpretation.
Bytes rawTiffRow(const std::string& path, uint16_t& photometric) {
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  Bytes row(size_t(TIFFScanlineSize(tif)));
  TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFReadScanline(tif, row.data(), 0, 0);
  TIFFClose(tif);
  return row;
}

Raster onePixel(ImageMode mode, std::initializer_list<uint8_t> samples) {
  Raster raster;
  allocateRaster(raster, 1, 1, mode, 0);
  raster.pixels.assign(samples);
  return raster;
}

TEST(FileEncodings, TiffLabHasSignedAB) {
  ScratchFolder folder;
  ASSERT_TRUE(
      writeImageFile(folder.path("lab.tif"), onePixel(ImageMode::lab, {200, 128, 100})).ok());
  uint16_t photometric = 0;
  const Bytes row = rawTiffRow(folder.path("lab.tif"), photometric);
  EXPECT_EQ(photometric, PHOTOMETRIC_CIELAB);
  EXPECT_EQ(row, (Bytes{200, 0, uint8_t(int8_t(-28))}));
}

TEST(FileEncodings, TiffAndPamCmykHoldInkAmounts) {
  ScratchFolder folder;
  const Raster paperAndInk =
      onePixel(ImageMode::cmyk, {255, 0, 200, 55});  // document: 255 = no ink
  ASSERT_TRUE(writeImageFile(folder.path("c.tif"), paperAndInk).ok());
  ASSERT_TRUE(writeImageFile(folder.path("c.pam"), paperAndInk).ok());
  uint16_t photometric = 0;
  EXPECT_EQ(rawTiffRow(folder.path("c.tif"), photometric), (Bytes{0, 255, 55, 200}));
  EXPECT_EQ(photometric, PHOTOMETRIC_SEPARATED);
  const Bytes pam = readBytes(folder.path("c.pam"));
  EXPECT_EQ(Bytes(pam.end() - 4, pam.end()), (Bytes{0, 255, 55, 200}));
}

// A CMYK JPEG without the Adobe marker stores plain ink amounts.
TEST(FileEncodings, JpegCmykWithoutAdobeMarkerIsInverted) {
  ScratchFolder folder;
  const std::string path = folder.path("plain.jpg");
  FILE* file = std::fopen(path.c_str(), "wb");
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = 8;
  cinfo.image_height = 8;
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  cinfo.write_Adobe_marker = FALSE;
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(32);
  for (int x = 0; x < 8; ++x) row.at(size_t(x) * 4) = 200;  // heavy cyan, nothing else
  for (int y = 0; y < 8; ++y) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(file);

  const Raster loaded = load(path);
  ASSERT_EQ(loaded.mode, ImageMode::cmyk);
  EXPECT_NEAR(loaded.pixels[0], 55, 2);
  EXPECT_NEAR(loaded.pixels[1], 255, 2);
  EXPECT_NEAR(loaded.pixels[3], 255, 2);
}

void writePalettePng(const std::string& path, bool transparent) {
  FILE* file = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, file);
  png_set_IHDR(png, info, 3, 1, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color palette[3] = {{10, 20, 30}, {200, 0, 0}, {0, 0, 250}};
  png_set_PLTE(png, info, palette, 3);
  png_byte alpha[2] = {0, 128};
  if (transparent) png_set_tRNS(png, info, alpha, 2, nullptr);
  png_write_info(png, info);
  png_byte row[3] = {2, 0, 1};
  png_write_row(png, row);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  std::fclose(file);
}

TEST(FileEncodings, PalettePngBecomesRgbAndKeepsTransparency) {
  ScratchFolder folder;
  writePalettePng(folder.path("p.png"), false);
  writePalettePng(folder.path("pt.png"), true);
  const Raster plain = load(folder.path("p.png"));
  EXPECT_EQ(plain.mode, ImageMode::rgb);
  EXPECT_EQ(plain.extraChannels, 0);
  EXPECT_EQ(plain.pixels, (Bytes{0, 0, 250, 10, 20, 30, 200, 0, 0}));
  const Raster clear = load(folder.path("pt.png"));
  EXPECT_EQ(clear.extraChannels, 1);
  EXPECT_EQ(clear.pixels, (Bytes{0, 0, 250, 255, 10, 20, 30, 0, 200, 0, 0, 128}));
}

TEST(FileEncodings, PaletteTiffAndBmpBecomeRgb) {
  ScratchFolder folder;
  TIFF* tif = startTiff(folder.path("p.tif"), 2, 1, 8, 1, PHOTOMETRIC_PALETTE);
  std::vector<uint16_t> red(256, 0), green(256, 0), blue(256, 0);
  red[1] = 0xFF00;
  blue[2] = 0x8000;
  TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
  uint8_t indices[2] = {2, 1};
  TIFFWriteScanline(tif, indices, 0, 0);
  TIFFClose(tif);
  EXPECT_EQ(load(folder.path("p.tif")).pixels, (Bytes{0, 0, 128, 255, 0, 0}));

  // An 8-bit BMP whose palette is not gray: two pixels, palette {blue-ish, orange}.
  Bytes bmp = text("BM");
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp.push_back(uint8_t(v >> (8 * i)));
  };
  put32(14 + 40 + 8 + 4);
  put32(0);
  put32(14 + 40 + 8);
  for (uint32_t v : {40u, 2u, 1u}) put32(v);
  bmp.insert(bmp.end(), {1, 0, 8, 0});
  for (uint32_t v : {0u, 4u, 2835u, 2835u, 2u, 0u}) put32(v);
  bmp.insert(bmp.end(), {200, 100, 50, 0, 0, 128, 255, 0});  // BGRX entries
  bmp.insert(bmp.end(), {1, 0, 0, 0});
  writeBytes(folder.path("p.bmp"), bmp);
  const Raster fromBmp = load(folder.path("p.bmp"));
  EXPECT_EQ(fromBmp.mode, ImageMode::rgb);
  EXPECT_EQ(fromBmp.pixels, (Bytes{255, 128, 0, 50, 100, 200}));
  EXPECT_DOUBLE_EQ(fromBmp.resolution.horizontal, 72.01);  // 2835 per metre is 72.009 ppi
}

// Planar and tiled layouts put samples in other places; the image must come out the same.
void writeTiffLayout(const std::string& path, const Raster& image, bool planar, bool tiled) {
  TIFF* tif = startTiff(path, uint32_t(image.width), uint32_t(image.height), 8, 3, PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
  const int planes = planar ? 3 : 1, perPixel = planar ? 1 : 3;
  const uint32_t blockWidth = tiled ? 16 : uint32_t(image.width), blockHeight = tiled ? 16 : 7;
  if (tiled) {
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, blockWidth);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, blockHeight);
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, blockHeight);
  }
  std::vector<uint8_t> block(size_t(blockWidth) * blockHeight * perPixel);
  uint32_t index = 0;
  for (int plane = 0; plane < planes; ++plane)
    for (int top = 0; top < image.height; top += int(blockHeight))
      for (int left = 0; left < image.width; left += int(blockWidth), ++index) {
        std::fill(block.begin(), block.end(), 0);
        for (uint32_t r = 0; r < blockHeight && top + int(r) < image.height; ++r)
          for (uint32_t c = 0; c < blockWidth && left + int(c) < image.width; ++c)
            for (int s = 0; s < perPixel; ++s)
              block[(r * blockWidth + c) * perPixel + s] =
                  image.row(top + int(r))[(left + c) * 3 + uint32_t(planar ? plane : s)];
        const tmsize_t rows =
            tiled ? blockHeight : std::min<int>(int(blockHeight), image.height - top);
        if (tiled)
          TIFFWriteEncodedTile(tif, index, block.data(), tmsize_t(block.size()));
        else
          TIFFWriteEncodedStrip(tif, index, block.data(), rows * blockWidth * perPixel);
      }
  TIFFClose(tif);
}

TEST(FileEncodings, TiffStripsTilesAndPlanesAllReadTheSame) {
  ScratchFolder folder;
  const Raster image = distinctRaster(37, 21, ImageMode::rgb, 0);
  for (bool planar : {false, true})
    for (bool tiled : {false, true}) {
      const std::string name =
          std::string(planar ? "planar" : "chunky") + (tiled ? "_tiles.tif" : "_strips.tif");
      writeTiffLayout(folder.path(name), image, planar, tiled);
      EXPECT_EQ(load(folder.path(name)).pixels, image.pixels) << name;
    }
}

TEST(FileEncodings, MinIsWhiteTiffIsInverted) {
  ScratchFolder folder;
  TIFF* tif = startTiff(folder.path("w.tif"), 2, 1, 8, 1, PHOTOMETRIC_MINISWHITE);
  uint8_t row[2] = {0, 200};
  TIFFWriteScanline(tif, row, 0, 0);
  TIFFClose(tif);
  const Raster loaded = load(folder.path("w.tif"));
  EXPECT_EQ(loaded.mode, ImageMode::grayscale);
  EXPECT_EQ(loaded.pixels, (Bytes{255, 55}));
}

TEST(FileEncodings, PlainTextAndLowMaxvalPnmAreScaled) {
  ScratchFolder folder;
  const struct {
    const char* name;
    std::string contents;
    ImageMode mode;
    Bytes pixels;
  } cases[] = {
      {"a.pgm", "P2\n# comment\n3 1\n15\n0 15 7\n", ImageMode::grayscale, {0, 255, 119}},
      {"a.ppm", "P3 1 1 255 10 20 30", ImageMode::rgb, {10, 20, 30}},
      {"b.pgm", std::string("P5 2 1 3\n\0\3", 11), ImageMode::grayscale, {0, 255}},
      {"a.pam",
       "P7\nWIDTH 1\nHEIGHT 1\nDEPTH 1\nMAXVAL 1\nTUPLTYPE BLACKANDWHITE\nENDHDR\n\x01",
       ImageMode::grayscale,
       {255}},
  };
  for (const auto& c : cases) {
    writeBytes(folder.path(c.name), text(c.contents));
    const Raster loaded = load(folder.path(c.name));
    EXPECT_EQ(loaded.mode, c.mode) << c.name;
    EXPECT_EQ(loaded.pixels, c.pixels) << c.name;
    EXPECT_FALSE(loaded.resolution.known) << c.name;
  }
}

TEST(FileEncodings, PnmSamplesOverMaxvalAreRefused) {
  ScratchFolder folder;
  writeBytes(folder.path("bad.pgm"), text("P2 2 1 10\n5 11\n"));
  Raster raster;
  EXPECT_EQ(readImageFile(folder.path("bad.pgm"), raster).kind, FileErrorKind::run);
}

}  // namespace
