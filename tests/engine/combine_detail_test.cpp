// The detail combination on whole planes against a literal per-pixel rendering of its formula,
// on each vector path, and the exact multiply that replaces the division by 100 in the vector
// loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/combine_detail.h"
#include "engine/sharpen.h"
#include "host/plugin_globals.h"
#include "hostapi/constants.h"
#include "image/image_plane.h"
#include "vector_path_choice.h"

namespace {

// The strengths the print model gives profiles 1, 2 and 3.
const int32 kProfileStrengths[] = {122, 175, 288};

int32 literalAmount(int32 u, int32 profile) {
  if (u >= 0 || profile == 3) return u >> 1;
  return (u >> 1) + (profile == 1 ? u >> 2 : u >> 3);
}

TEST(CorrectionMultiplier, ExactForEveryDetailOfEveryProfile) {
  for (int32 strength : kProfileStrengths) {
    CorrectionMultiplier m;
    ASSERT_TRUE(makeCorrectionMultiplier(strength, &m)) << strength;
    for (int32 profile : {1, 2, 3}) {
      HaloStyle style = haloStyle(profile);
      for (int32 u = -kLargestDetail; u <= kLargestDetail; ++u) {
        int32 amount = detailAmount(style, u);
        ASSERT_EQ(amount, literalAmount(u, profile)) << u;
        int32 scaled = scaledMagnitude(m, std::abs(amount));
        ASSERT_EQ(amount < 0 ? -scaled : scaled, amount * strength / 100)
            << "strength " << strength << " profile " << profile << " u " << u;
      }
    }
  }
}

TEST(CorrectionMultiplier, RefusedWhereNoSixteenBitMultiplyIsExact) {
  CorrectionMultiplier m;
  EXPECT_FALSE(makeCorrectionMultiplier(-10, &m));
  EXPECT_FALSE(makeCorrectionMultiplier(1000000, &m));
}

struct PlaneCase {
  int32 width;
  int32 height;
  int32 channels;
  int32 border;
};

// Source and blurred planes whose first channel runs through every pair of values, with the
// other two channels close to it (the extreme details) or unrelated, and an output plane
// holding a pattern of its own.
struct Planes {
  PluginGlobals globals{};
  ImagePlane* source;
  ImagePlane* blurred;
  ImagePlane* output;

  explicit Planes(const PlaneCase& c) {
    for (ImagePlane** plane : {&source, &blurred, &output}) {
      *plane = createPlane(handleMemory(&globals), c.width, c.height, c.channels, c.border, 1,
                           plugInModeRGBColor, 0);
      EXPECT_TRUE(lockPlane(handleMemory(&globals), *plane));
    }
    uint32 seed = 5;
    auto next = [&seed] {
      seed = seed * 1664525u + 1013904223u;
      return seed >> 24;
    };
    for (int32 p = 0; p < c.width * c.height; ++p) {
      uint8* s = *source->pixelAddress + p * c.channels;
      uint8* t = *blurred->pixelAddress + p * c.channels;
      uint8* o = *output->pixelAddress + p * c.channels;
      s[0] = uint8(p);
      t[0] = uint8(p >> 8);
      bool near = (p >> 16) % 2 == 0;
      for (int32 ch = 1; ch < c.channels; ++ch) {
        int32 jitter = int32(next() % 5) - 2;
        s[ch] = near ? s[0] : uint8(next());
        t[ch] = near ? uint8(std::clamp(t[0] + jitter, 0, 255)) : uint8(next());
      }
      for (int32 ch = 0; ch < c.channels; ++ch) o[ch] = uint8(next());
    }
  }
  ~Planes() {
    for (ImagePlane* plane : {source, blurred, output}) destroyPlane(handleMemory(&globals), plane);
  }
  std::vector<uint8> bytes(const ImagePlane* plane) const {
    return std::vector<uint8>(*plane->pixelAddress,
                              *plane->pixelAddress + planeRows(*plane) * *plane->rowBytes);
  }
};

// The output plane after a literal combination over the source's inner rectangle.
std::vector<uint8> literalCombination(const Planes& planes, int32 strength, int32 profile) {
  std::vector<uint8> out = planes.bytes(planes.output);
  std::vector<uint8> s = planes.bytes(planes.source);
  std::vector<uint8> t = planes.bytes(planes.blurred);
  const ImagePlane& plane = *planes.source;
  for (int32 y = plane.inner.top; y < plane.inner.bottom; ++y) {
    for (int32 x = plane.inner.left; x < plane.inner.right; ++x) {
      size_t at = size_t(y) * size_t(*plane.rowBytes) + size_t(x * plane.channels);
      int32 d[3];
      for (int32 i = 0; i < 3; ++i) d[i] = s[at + i] - t[at + i];
      int32 shared = (2 * d[0] + d[1] + d[2]) >> 2;
      for (int32 i = 0; i < 3; ++i) {
        int32 correction = literalAmount(shared + d[i], profile) * strength / 100;
        out[at + i] = uint8(std::clamp(s[at + i] + correction, 0, 255));
      }
    }
  }
  return out;
}

class CombineDetailOnPath : public ::testing::TestWithParam<VectorPath> {};

TEST_P(CombineDetailOnPath, WholePlanesMatchTheLiteralFormula) {
  VectorPathChoice path(GetParam());
  if (!path.taken()) GTEST_SKIP() << "the processor has no AVX2";
  // Every pixel stride that fills a group of 24 bytes, and 5, which goes pixel by pixel. Widths
  // leave at the row ends a whole group beside the pairs of groups (263, 109, 53, 31, 13
  // pixels), part of a group, or nothing; strides above 3 keep their extra bytes.
  const PlaneCase planes[] = {{256, 512, 3, 0}, {263, 500, 4, 5}, {101, 1300, 3, 7},
                              {109, 600, 3, 0}, {97, 700, 6, 2},  {53, 300, 8, 2},
                              {31, 400, 12, 1}, {13, 500, 24, 0}, {9, 50, 5, 1}};
  struct Strength {
    int32 strength;
    int32 profile;
  };
  const Strength strengths[] = {{122, 1}, {175, 2}, {288, 3}, {175, 9},
                                {100, 1}, {0, 2},   {1, 3},   {99999, 2}};
  for (const PlaneCase& c : planes) {
    for (const Strength& st : strengths) {
      Planes fixture(c);
      std::vector<uint8> expected = literalCombination(fixture, st.strength, st.profile);
      combineDetail(*fixture.source, *fixture.blurred, fixture.output, st.strength, st.profile);
      ASSERT_EQ(fixture.bytes(fixture.output), expected)
          << c.width << "x" << c.height << "x" << c.channels << " strength " << st.strength
          << " profile " << st.profile;
    }
  }
}

TEST_P(CombineDetailOnPath, InPlaceEqualsSeparateOutput) {
  VectorPathChoice path(GetParam());
  if (!path.taken()) GTEST_SKIP() << "the processor has no AVX2";
  for (int32 channels : {3, 4}) {
    Planes fixture(PlaneCase{181, 400, channels, 3});
    std::vector<uint8> expected = literalCombination(fixture, 175, 2);
    // The literal result's inner pixels with the source's own bytes around them.
    std::vector<uint8> source = fixture.bytes(fixture.source);
    const ImagePlane& plane = *fixture.source;
    for (int32 y = plane.inner.top; y < plane.inner.bottom; ++y) {
      for (int32 x = plane.inner.left; x < plane.inner.right; ++x) {
        size_t at = size_t(y) * size_t(*plane.rowBytes) + size_t(x * channels);
        std::copy(expected.begin() + at, expected.begin() + at + 3, source.begin() + at);
      }
    }
    combineDetail(*fixture.source, *fixture.blurred, fixture.source, 175, 2);
    EXPECT_EQ(fixture.bytes(fixture.source), source) << channels;
  }
}

INSTANTIATE_TEST_SUITE_P(VectorPaths, CombineDetailOnPath, ::testing::ValuesIn(kVectorPaths));

}  // namespace
