// Files whose headers promise far more than they hold: tiny files declaring enormous images,
// strips or tiles, and progressive JPEGs with an endless list of scans. Each is refused by the
// tool with one line and exit 1 before it allocates what it declares; the peak memory of each
// refusal is measured in a child process, from the kernel's own high-water mark.
#include <gtest/gtest.h>

#include <jpeglib.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "imagefiles/codecs.h"
#include "tests/hostapp/cli_fixtures.h"

using namespace cli_fixtures;

namespace {

// --- The generator ----------------------------------------------------------------------

void putBig32(Bytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

void pngChunk(Bytes& out, const char* type, const Bytes& data) {
  putBig32(out, uint32_t(data.size()));
  Bytes typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  putBig32(out, uint32_t(crc32(0, typed.data(), uInt(typed.size()))));
}

// A PNG of a few hundred bytes whose header declares width x height RGBA.
Bytes pngDeclaring(uint32_t width, uint32_t height) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  Bytes header;
  putBig32(header, width);
  putBig32(header, height);
  header.insert(header.end(), {8, 6, 0, 0, 0});
  pngChunk(png, "IHDR", header);
  Bytes rows(4000, 0);
  uLongf length = compressBound(uLong(rows.size()));
  Bytes packed(length);
  compress(packed.data(), &length, rows.data(), uLong(rows.size()));
  packed.resize(length);
  pngChunk(png, "IDAT", packed);
  pngChunk(png, "IEND", {});
  return png;
}

// A real small JPEG whose frame header is patched to declare width x height.
Bytes jpegDeclaring(uint16_t width, uint16_t height) {
  Bytes jpeg;
  encodeJpeg(files_test::smoothRaster(64, 48, ImageMode::rgb), WriteOptions(), jpeg);
  for (size_t i = 0; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = uint8_t(height >> 8);
      jpeg[i + 6] = uint8_t(height);
      jpeg[i + 7] = uint8_t(width >> 8);
      jpeg[i + 8] = uint8_t(width);
      break;
    }
  }
  return jpeg;
}

// A grayscale progressive JPEG of `scans` scans: the DC scan, then one scan per AC coefficient;
// with more than 64 the coefficients are sent in two halves by successive approximation.
Bytes progressiveJpeg(int scans) {
  const int width = 256, height = 256;
  std::vector<jpeg_scan_info> script;
  const bool halves = scans > 64;
  script.push_back({1, {0}, 0, 0, 0, halves ? 1 : 0});
  for (int k = 1; k < 64 && int(script.size()) < scans; ++k)
    script.push_back({1, {0}, k, k, 0, halves ? 1 : 0});
  if (halves) {
    script.push_back({1, {0}, 0, 0, 1, 0});
    for (int k = 1; k < 64 && int(script.size()) < scans; ++k)
      script.push_back({1, {0}, k, k, 1, 0});
  }
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = 1;
  cinfo.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&cinfo);
  cinfo.scan_info = script.data();
  cinfo.num_scans = int(script.size());
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(width);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) row[size_t(x)] = uint8_t((x * 7 + y * 13) ^ (x * y));
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes jpeg(buffer, buffer + size);
  std::free(buffer);
  return jpeg;
}

// A TIFF whose one strip or tile holds `coded` bytes of whatever, written raw, however large
// the image, strip or tile its fields declare.
Bytes tiffDeclaring(uint32_t width, uint32_t height, int samples, int photometric, int extras,
                    uint16_t compression, uint32_t tileSide, size_t coded) {
  files_test::ScratchFolder folder;
  const std::string path = folder.path("bomb.tif");
  TIFF* tif = files_test::startTiff(path, width, height, 8, samples, photometric);
  if (extras > 0) {
    std::vector<uint16_t> kinds(size_t(extras), EXTRASAMPLE_UNSPECIFIED);
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(extras), kinds.data());
  }
  if (photometric == PHOTOMETRIC_SEPARATED) TIFFSetField(tif, TIFFTAG_INKSET, INKSET_CMYK);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
  Bytes data(coded, 0x55);
  if (tileSide > 0) {
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, tileSide);
    TIFFSetField(tif, TIFFTAG_TILELENGTH, tileSide);
    TIFFWriteRawTile(tif, 0, data.data(), tmsize_t(data.size()));
  } else {
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
    TIFFWriteRawStrip(tif, 0, data.data(), tmsize_t(data.size()));
  }
  TIFFClose(tif);
  return files_test::readBytes(path);
}

std::string pamDeclaring(int width, int height) {
  return "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " + std::to_string(height) +
         "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" + std::string(100, 'x');
}

// --- Measuring a refusal ---------------------------------------------------------------

long statusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  return -1;
}

struct Measured {
  Outcome outcome;
  long peakGrowthKilobytes;  // the high-water mark over the resident size before the run
};

// Runs the tool in a child process whose peak resident memory is reset just before the run,
// so the figure is the run's own, whatever the test program held before.
Measured measureRun(const std::vector<std::string>& args) {
  const ChildRun run = runInChild([&](int*) {
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = statusKilobytes("VmRSS:");
    const Outcome outcome = runTool(args);
    const long growth = statusKilobytes("VmHWM:") - before;
    std::ostringstream report;
    report << outcome.code << ' ' << growth << ' ' << outcome.err;
    return report.str();
  });
  Measured measured{{-1, "", ""}, -1};
  std::istringstream in(run.text);
  in >> measured.outcome.code >> measured.peakGrowthKilobytes;
  in.get();
  std::getline(in, measured.outcome.err, '\0');
  return measured;
}

struct Bomb {
  const char* name;
  const char* file;
  std::function<std::string()> make;
};

std::string asText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

const Bomb kBombs[] = {
    {"tiny PNG declaring 32767x32767 RGBA", "bomb.png",
     [] { return asText(pngDeclaring(32767, 32767)); }},
    {"small JPEG with its size patched to 32767x32767", "bomb.jpg",
     [] { return asText(jpegDeclaring(32767, 32767)); }},
    {"progressive JPEG of 128 scans", "scans.jpg", [] { return asText(progressiveJpeg(128)); }},
    {"TIFF declaring 32767x32767 CMYK with 4 extra channels", "cmyk.tif",
     [] {
       return asText(
           tiffDeclaring(32767, 32767, 8, PHOTOMETRIC_SEPARATED, 4, COMPRESSION_NONE, 0, 200));
     }},
    {"16x16 TIFF with 32768x32768 tiles", "tile32k.tif",
     [] {
       return asText(tiffDeclaring(16, 16, 3, PHOTOMETRIC_RGB, 0, COMPRESSION_NONE, 32768, 768));
     }},
    {"16x16 TIFF with 65536x65536 LZW tiles", "tile64k.tif",
     [] {
       return asText(tiffDeclaring(16, 16, 3, PHOTOMETRIC_RGB, 0, COMPRESSION_LZW, 65536, 300));
     }},
    {"LZW TIFF of one 32767-row strip", "strip.tif",
     [] {
       return asText(tiffDeclaring(32767, 32767, 3, PHOTOMETRIC_RGB, 0, COMPRESSION_LZW, 0, 2000));
     }},
    {"PAM declaring 32767x32767 RGBA", "bomb.pam", [] { return pamDeclaring(32767, 32767); }},
};

constexpr long kPeakLimitKilobytes = 64 * 1024;

// Each bomb with the default pixel limit and with the limit raised as far as it goes, where
// only the check of the declared size against the file's data stands in the way.
TEST(BombFiles, EachIsRefusedInOneLineWithinAFewMegabytes) {
  ScratchFolder folder;
  for (const Bomb& bomb : kBombs) {
    for (const char* limit : {"268435456", "1073676289"}) {
      SCOPED_TRACE(std::string(bomb.name) + ", --max-pixels " + limit);
      const std::string input = folder.path(bomb.file);
      writeFile(input, bomb.make());
      const std::string output = folder.path("out.tif");
      const Measured run = measureRun({"sharpen", input, output, "--max-pixels", limit});
      EXPECT_EQ(run.outcome.code, 1) << run.outcome.err;
      EXPECT_TRUE(isOneErrorLine(run.outcome.err)) << run.outcome.err;
      EXPECT_GE(run.peakGrowthKilobytes, 0);
      EXPECT_LT(run.peakGrowthKilobytes, kPeakLimitKilobytes);
      std::printf("  %-55s %6zu bytes, peak +%ld KiB: %s", bomb.name,
                  size_t(std::ifstream(input, std::ios::ate | std::ios::binary).tellg()),
                  run.peakGrowthKilobytes, run.outcome.err.c_str());
      EXPECT_FALSE(std::ifstream(output).good());
    }
  }
}

// The scan limit leaves ordinary progressive files alone: one scan per coefficient reads.
TEST(BombFiles, AProgressiveJpegOfSixtyFourScansStillReads) {
  Raster raster;
  ASSERT_TRUE(decodeJpeg(progressiveJpeg(64), raster).ok());
  EXPECT_EQ(raster.width, 256);
}

// The pixel limit: the default refuses more than 16384x16384, --max-pixels moves it, and the
// message names the option.
TEST(BombFiles, ThePixelLimitRefusesLargerImagesAndCanBeMoved) {
  ScratchFolder folder;
  const std::string input = folder.path("in.ppm");
  writeFile(input, ppm(40, 30));
  struct Case {
    const char* limit;
    int code;
  };
  for (const Case& c : {Case{"1200", 0}, Case{"1199", 1}}) {
    SCOPED_TRACE(c.limit);
    const Outcome outcome = runTool({"report", input, "--max-pixels", c.limit});
    EXPECT_EQ(outcome.code, c.code) << outcome.err;
    if (c.code != 0) {
      EXPECT_TRUE(isOneErrorLine(outcome.err)) << outcome.err;
      EXPECT_NE(outcome.err.find("--max-pixels"), std::string::npos) << outcome.err;
    }
  }
  Raster raster;
  EXPECT_FALSE(allocateRaster(raster, 16385, 16384, ImageMode::grayscale, 0).ok());
}

}  // namespace
