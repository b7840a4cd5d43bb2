// What photographers' files carry besides pixels: EXIF, IPTC, XMP, profile and resolution reach
// the sharpened file in every format pair that can hold them, made true to the new file (no
// stale thumbnail); the orientation decides which side a print size means.
#include <gtest/gtest.h>

#include <exiv2/exiv2.hpp>

#include <cstdio>
#include <memory>
#include <tiffio.h>

#include "imagefiles/codecs.h"
#include "imagefiles/image_files.h"
#include "imagefiles/native/metadata.h"
#include "tests/hostapp/cli_fixtures.h"

namespace {

using namespace cli_fixtures;

// One profile for the whole program: LittleCMS stamps each new one with the time.
const Bytes& cameraProfile() {
  static const Bytes profile = files_test::profileFor(ImageMode::rgb);
  return profile;
}

// A small thumbnail JPEG, so that a thumbnail the output still carried would show.
Exiv2::DataBuf thumbnailJpeg(const ScratchFolder& folder) {
  const std::string path = folder.path("thumb.jpg");
  writeImageFile(path, files_test::smoothRaster(8, 8, ImageMode::rgb));
  Bytes bytes = files_test::readBytes(path);
  return Exiv2::DataBuf(bytes.data(), long(bytes.size()));
}

// A camera file: a smooth picture with the profile and the metadata blocks a camera and a
// cataloguing program leave; in JPEG and PNG the resolution is in EXIF only (the JFIF density
// says none, there is no pHYs).
void writeCameraFile(const ScratchFolder& folder, const std::string& path, int orientation) {
  Raster raster = files_test::smoothRaster(40, 30, ImageMode::rgb);
  raster.iccProfile = cameraProfile();
  // A TIFF's first directory is its EXIF one: there the resolution is the file's own field.
  if (path.size() > 4 && path.substr(path.size() - 4) == ".tif")
    raster.resolution = {true, 240, 240};
  ASSERT_TRUE(writeImageFile(path, raster).ok());
  auto image = Exiv2::ImageFactory::open(path);
  image->readMetadata();
  Exiv2::ExifData exif;
  exif["Exif.Image.Make"] = "Canon";
  exif["Exif.Image.Model"] = "Canon EOS 5D";
  exif["Exif.Image.Orientation"] = uint16_t(orientation);
  exif["Exif.Image.XResolution"] = Exiv2::URational(240, 1);
  exif["Exif.Image.YResolution"] = Exiv2::URational(240, 1);
  exif["Exif.Image.ResolutionUnit"] = uint16_t(2);
  exif["Exif.Image.Copyright"] = "Jane Doe";
  exif["Exif.Photo.DateTimeOriginal"] = "2024:05:01 10:00:00";
  exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 125);
  exif["Exif.Photo.FNumber"] = Exiv2::URational(8, 1);
  exif["Exif.Photo.LensModel"] = "EF 24-70mm";
  exif["Exif.Photo.PixelXDimension"] = uint32_t(40);
  exif["Exif.Photo.PixelYDimension"] = uint32_t(30);
  exif["Exif.GPSInfo.GPSLatitudeRef"] = "N";
  exif["Exif.GPSInfo.GPSLatitude"] = "48/1 51/1 0/1";
  Exiv2::DataBuf thumbnail = thumbnailJpeg(folder);
  Exiv2::ExifThumb(exif).setJpegThumbnail(thumbnail.pData_, thumbnail.size_);
  image->setExifData(exif);
  Exiv2::IptcData iptc;
  iptc["Iptc.Application2.Keywords"] = "harbour";
  iptc["Iptc.Application2.Byline"] = "Jane Doe";
  image->setIptcData(iptc);
  Exiv2::XmpData xmp;
  xmp["Xmp.xmp.Rating"] = "4";
  xmp["Xmp.dc.title"] = "lang=x-default Evening harbour";
  xmp["Xmp.dc.creator"] = "Jane Doe";
  image->setXmpData(xmp);
  image->writeMetadata();
}

std::string exifText(const Exiv2::ExifData& exif, const char* key) {
  auto found = exif.findKey(Exiv2::ExifKey(key));
  return found == exif.end() ? "(missing)" : found->toString();
}

struct FormatPair {
  const char* input;
  const char* output;
};

class MetadataTest : public ::testing::TestWithParam<FormatPair> {
 protected:
  ScratchFolder folder;
};

TEST_P(MetadataTest, EveryBlockReachesTheSharpenedFileMadeTrue) {
  const std::string in = folder.path(std::string("camera") + GetParam().input);
  const std::string out = folder.path(std::string("sharpened") + GetParam().output);
  writeCameraFile(folder, in, 6);
  Outcome outcome = runTool({"sharpen", in, out, "--print-width", "100", "--quiet"});
  ASSERT_EQ(outcome.code, 0) << outcome.err;

  auto image = Exiv2::ImageFactory::open(out);
  image->readMetadata();
  const Exiv2::ExifData& exif = image->exifData();
  const struct {
    const char* key;
    const char* value;
  } kExpected[] = {
      {"Exif.Image.Make", "Canon"},
      {"Exif.Image.Model", "Canon EOS 5D"},
      {"Exif.Image.Orientation", "6"},
      {"Exif.Image.Copyright", "Jane Doe"},
      {"Exif.Image.XResolution", "240/1"},
      {"Exif.Image.ResolutionUnit", "2"},
      {"Exif.Photo.DateTimeOriginal", "2024:05:01 10:00:00"},
      {"Exif.Photo.ExposureTime", "1/125"},
      {"Exif.Photo.LensModel", "EF 24-70mm"},
      {"Exif.Photo.PixelXDimension", "40"},
      {"Exif.GPSInfo.GPSLatitude", "48/1 51/1 0/1"},
  };
  for (const auto& expected : kExpected)
    EXPECT_EQ(exifText(exif, expected.key), expected.value) << expected.key;
  EXPECT_EQ(Exiv2::ExifThumbC(exif).copy().size_, 0) << "a thumbnail of the unsharpened picture";

  const Exiv2::IptcData& iptc = image->iptcData();
  auto keywords = iptc.findKey(Exiv2::IptcKey("Iptc.Application2.Keywords"));
  ASSERT_NE(keywords, iptc.end());
  EXPECT_EQ(keywords->toString(), "harbour");
  EXPECT_NE(iptc.findKey(Exiv2::IptcKey("Iptc.Application2.Byline")), iptc.end());

  const Exiv2::XmpData& xmp = image->xmpData();
  auto rating = xmp.findKey(Exiv2::XmpKey("Xmp.xmp.Rating"));
  ASSERT_NE(rating, xmp.end());
  EXPECT_EQ(rating->toString(), "4");
  EXPECT_NE(xmp.findKey(Exiv2::XmpKey("Xmp.dc.title")), xmp.end());

  // The codec's own fields: the profile, and the resolution the EXIF block gave.
  Raster sharpened;
  ASSERT_TRUE(readImageFile(out, sharpened).ok());
  EXPECT_EQ(sharpened.iccProfile, cameraProfile());
  EXPECT_TRUE(sharpened.resolution.known);
  EXPECT_DOUBLE_EQ(sharpened.resolution.horizontal, 240.0);
  EXPECT_EQ(sharpened.width, 40) << "pixels stay in their stored order";
  EXPECT_TRUE(sharpened.metadata.pngText.empty()) << "the blocks are not repeated as PNG text";
}

INSTANTIATE_TEST_SUITE_P(Formats, MetadataTest,
                         ::testing::Values(FormatPair{".jpg", ".jpg"}, FormatPair{".tif", ".tif"},
                                           FormatPair{".png", ".png"}, FormatPair{".jpg", ".tif"},
                                           FormatPair{".tif", ".png"}, FormatPair{".png", ".jpg"}),
                         [](const auto& info) {
                           return std::string(info.param.input + 1) + "_to_" +
                                  (info.param.output + 1);
                         });

// The same file read by exiftool, an independent reader, as a photographer's tools would.
// A TIFF with metadata is written as the rows come, spliced into what Exiv2 makes of a stand-in
// with placeholder strips; the file must be the one Exiv2 makes when it rewrites the whole
// encoded picture: the same directories, the strips where it would put them (a strip of an odd
// length followed by a padding byte), their offsets and byte counts patched to match. Rows of
// 301 pixels give strips of odd lengths; the schemes give strips of every length.
TEST(TiffMetadata, SplicedFileIsExiv2sRewriteOfTheWholePicture) {
  ScratchFolder folder;
  const std::string camera = folder.path("camera.tif");
  writeCameraFile(folder, camera, 1);
  Raster cameraRaster;
  ASSERT_TRUE(readImageFile(camera, cameraRaster).ok());
  ASSERT_TRUE(cameraRaster.metadata.hasBlocks());
  const struct {
    const char* name;
    ImageMode mode;
    int extraChannels;
    int compression;
  } cases[] = {{"rgb", ImageMode::rgb, 0, COMPRESSION_NONE},
               {"rgbLzw", ImageMode::rgb, 0, COMPRESSION_LZW},
               {"cmykDeflate", ImageMode::cmyk, 0, COMPRESSION_ADOBE_DEFLATE},
               {"labLzw", ImageMode::lab, 0, COMPRESSION_LZW},
               {"greyAlpha", ImageMode::grayscale, 1, COMPRESSION_NONE}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Raster raster = files_test::distinctRaster(301, 67, c.mode, c.extraChannels);
    raster.metadata = cameraRaster.metadata;
    raster.resolution = {true, 240, 240};
    if (c.mode == ImageMode::rgb) raster.iccProfile = cameraProfile();
    WriteOptions options;
    options.tiffCompression = c.compression;
    Bytes rewritten;
    ASSERT_TRUE(encodeTiff(raster, options, rewritten).ok());
    ASSERT_TRUE(writeFileMetadata(raster, rewritten).ok());
    Bytes spliced;
    bool embedded = false;
    ASSERT_TRUE(encodeTiff(raster, options, spliced, &embedded).ok());
    EXPECT_TRUE(embedded);
    EXPECT_TRUE(spliced == rewritten) << spliced.size() << " bytes against " << rewritten.size();
  }
}

TEST(MetadataExiftool, ReadsTheSharpenedCameraJpeg) {
  ScratchFolder folder;
  writeCameraFile(folder, folder.path("camera.jpg"), 1);
  ASSERT_EQ(runTool({"sharpen", folder.path("camera.jpg"), folder.path("out.jpg"), "--quiet"}).code,
            0);
  const std::string command =
      "timeout 60 exiftool -s3 -Make -DateTimeOriginal -ExposureTime -GPSLatitude -Rating "
      "-Keywords -By-line -ProfileDescription -XResolution '" +
      folder.path("out.jpg") + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_TRUE(pipe);
  std::string text;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe.get())) text += buffer;
  for (const char* expected :
       {"Canon\n", "2024:05:01 10:00:00\n", "1/125\n", "48 deg 51' 0.00\" N\n", "4\n", "harbour\n",
        "Jane Doe\n", "sRGB", "240\n"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in\n" << text;
}

// A print width is the width of the picture as displayed: a portrait stored on its side
// (orientation 6 or 8), or upside down (3), is 210 x 311 mm at 210 mm wide.
TEST(Orientation, PrintSizesAreOfThePictureAsDisplayed) {
  const struct {
    int orientation;
    int storedWidth, storedHeight;
  } kCases[] = {{6, 3557, 2400}, {8, 3557, 2400}, {3, 2400, 3557}, {1, 2400, 3557}};
  ScratchFolder folder;
  for (const auto& c : kCases) {
    const std::string path = folder.path("portrait" + std::to_string(c.orientation) + ".jpg");
    Raster raster;
    ASSERT_TRUE(
        allocateRaster(raster, c.storedWidth, c.storedHeight, ImageMode::grayscale, 0).ok());
    ASSERT_TRUE(writeImageFile(path, raster).ok());
    auto image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    image->exifData()["Exif.Image.Orientation"] = uint16_t(c.orientation);
    image->writeMetadata();
    Outcome outcome = runTool({"report", path, "--print-width", "210", "--json"});
    ASSERT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("\"printHeight\": 311, \"printWidth\": 210"), std::string::npos)
        << "orientation " << c.orientation << ":\n"
        << outcome.out;
    EXPECT_NE(outcome.out.find("\"pixelWidth\": 2400, \"pixelHeight\": 3557"), std::string::npos)
        << "orientation " << c.orientation;
  }
}

}  // namespace
