// The blur operator against the literal cursor rendering in reference_blur.h, over radii on both
// sides of every boundary and every half-width of the Gaussian kernel, planes whose inner
// rectangle does and does not touch the area, odd sizes down to one pixel and past a vector's
// lanes and a block's rows, three to eight channels, and sub-sampled planes, on each vector path;
// plus the kernel and division facts the paths rest on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/blur.h"
#include "engine/blur_kernel.h"
#include "host/plugin_globals.h"
#include "image/image_plane.h"
#include "reference_blur.h"
#include "vector_path_choice.h"

namespace {

struct Shape {
  int32 width;
  int32 height;
  int32 channels;
  int32 border;
  int32 step;
};

// An own plane filled with a deterministic noisy pattern (strong edges everywhere), locked.
class TestPlane {
 public:
  TestPlane(PluginGlobals* globals, const Shape& shape, uint32 seed) : globals_(globals) {
    plane_ = createPlane(handleMemory(globals), shape.width, shape.height, shape.channels,
                         shape.border, shape.step, 3, 0);
    EXPECT_NE(plane_, nullptr);
    EXPECT_TRUE(lockPlane(handleMemory(globals), plane_));
    for (uint8& byte : bytes()) {
      seed = seed * 1103515245u + 12345u;
      byte = uint8(seed >> 24);
    }
  }
  TestPlane(PluginGlobals* globals, const ImagePlane& source) : globals_(globals) {
    plane_ = copyPlane(handleMemory(globals), source);
    EXPECT_TRUE(lockPlane(handleMemory(globals), plane_));
  }
  ~TestPlane() { destroyPlane(handleMemory(globals_), plane_); }

  ImagePlane* get() const { return plane_; }
  std::vector<uint8> snapshot() const {
    auto b = const_cast<TestPlane*>(this)->bytes();
    return std::vector<uint8>(b.begin(), b.end());
  }
  struct Span {
    uint8* first;
    size_t size;
    uint8* begin() { return first; }
    uint8* end() { return first + size; }
  };
  Span bytes() {
    return {*plane_->pixelAddress, size_t(planeRows(*plane_)) * size_t(*plane_->rowBytes)};
  }

 private:
  PluginGlobals* globals_;
  ImagePlane* plane_ = nullptr;
};

PluginGlobals noHost() { return PluginGlobals{}; }

// Blurs one source twice, with the operator and with the reference; returns both results.
// The operator also runs on three threads and must give its own one-thread result.
void blurBoth(double radius, int32 margin, const Shape& shape, std::vector<uint8>* fast,
              std::vector<uint8>* slow) {
  PluginGlobals globals = noHost();
  TestPlane source(&globals, shape, 7u + uint32(shape.width * 31 + shape.height));
  std::vector<uint8> before = source.snapshot();
  TestPlane destination(&globals, *source.get());
  TestPlane expected(&globals, *source.get());
  BlurRadius record{radius, margin, margin};
  ASSERT_TRUE(blurPlane(&record, *source.get(), destination.get(), handleMemory(&globals)));
  reference::blur(radius, margin, margin, source.get(), expected.get(), &globals);
  EXPECT_EQ(source.snapshot(), before) << "the source was written";
  *fast = destination.snapshot();
  *slow = expected.snapshot();
  // The same blur split across threads, which must not change a byte.
  TestPlane split(&globals, *source.get());
  BlurRadius again{radius, margin, margin};
  ASSERT_TRUE(blurPlane(&again, *source.get(), split.get(), handleMemory(&globals), 3));
  EXPECT_TRUE(split.snapshot() == *fast) << "three threads differ from one";
}

class BlurMatchesReference
    : public ::testing::TestWithParam<std::tuple<double, Shape, VectorPath>> {};

TEST_P(BlurMatchesReference, ByteForByte) {
  double radius = std::get<0>(GetParam());
  Shape shape = std::get<1>(GetParam());
  VectorPathChoice path(std::get<2>(GetParam()));
  if (!path.taken()) GTEST_SKIP() << "the processor has no AVX2";
  for (int32 margin : {int32(radius), 0, int32(radius) + 3}) {
    std::vector<uint8> fast, slow;
    blurBoth(radius, margin, shape, &fast, &slow);
    ASSERT_EQ(fast, slow) << "radius " << radius << " margin " << margin << " size " << shape.width
                          << "x" << shape.height << "x" << shape.channels << " border "
                          << shape.border << " step " << shape.step;
  }
}

// Below 2.5 one radius of every half-width of the kernel (0.2 and 0.4 to 2.0: 1 to 6).
const double kRadii[] = {0.1, 0.2, 0.4, 0.7, 1.0, 1.43, 2.0, 2.4999,
                         2.5, 3.2, 3.7, 5.5, 9.9, 10.0, 25.0};

TEST(GaussianKernel, TheRadiiTakeEveryHalfWidthOfTheRowPath) {
  std::vector<int32> seen;
  for (double radius : kRadii) {
    if (radius >= 2.5) continue;
    int32 halfWidth = gaussianKernel(adjustedGaussianRadius(std::max(radius, 0.2))).halfWidth;
    if (std::find(seen.begin(), seen.end(), halfWidth) == seen.end()) seen.push_back(halfWidth);
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<int32>{1, 2, 3, 4, 5, 6}));
}

const Shape kFullResolution[] = {
    {23, 17, 3, 0, 1},  // inner is the whole area
    {40, 31, 4, 6, 1},  // inner well inside, fourth byte to keep
    {37, 29, 3, 2, 1},  // margins reach past the border
    {1, 1, 3, 0, 1},
    {1, 1, 4, 0, 1},
    {2, 5, 3, 0, 1},
    {13, 1, 4, 0, 1},
    {1, 9, 3, 0, 1},
    {70, 66, 3, 32, 1},  // a small tile with context
    {29, 21, 5, 4, 1},   // bytes beyond the fourth to keep
    // Rows of 90, 180, 114 and 88 lanes end in runs shorter than sixteen and eight lanes; 37,
    // 21, 18 and 17 rows end in a part of a block of sixteen or eight.
    {30, 37, 3, 0, 1},
    {45, 21, 4, 6, 1},
    {19, 18, 6, 3, 1},
    {11, 17, 8, 2, 1},
};

INSTANTIATE_TEST_SUITE_P(FullResolution, BlurMatchesReference,
                         ::testing::Combine(::testing::ValuesIn(kRadii),
                                            ::testing::ValuesIn(kFullResolution),
                                            ::testing::ValuesIn(kVectorPaths)));

const Shape kSubSampled[] = {{24, 18, 3, 2, 2}, {25, 19, 4, 3, 3}, {9, 7, 3, 0, 4}};

INSTANTIATE_TEST_SUITE_P(SubSampled, BlurMatchesReference,
                         ::testing::Combine(::testing::Values(0.2, 1.0, 2.4, 2.5, 3.0, 5.5),
                                            ::testing::ValuesIn(kSubSampled),
                                            ::testing::ValuesIn(kVectorPaths)));

TEST(GaussianKernel, WeightsOfTheDocumentedRadii) {
  struct Case {
    double radius;
    std::vector<int32> weights;
    int32 sum;
  };
  for (const Case& c : {Case{1.0, {255, 186, 73, 15, 1}, 805}, Case{0.2, {255, 26}, 307},
                        Case{2.4, {255, 225, 155, 83, 35, 11, 2}, 1277}}) {
    GaussianKernel kernel = gaussianKernel(adjustedGaussianRadius(c.radius));
    ASSERT_EQ(kernel.halfWidth + 1, int32(c.weights.size())) << c.radius;
    int32 sum = kernel.weights[0];
    for (int32 i = 0; i <= kernel.halfWidth; ++i) {
      EXPECT_EQ(kernel.weights[i], c.weights[i]) << c.radius << " weight " << i;
      if (i > 0) sum += 2 * kernel.weights[i];
    }
    EXPECT_EQ(sum, c.sum) << c.radius;
  }
}

TEST(GaussianKernel, AdjustedRadiusSteps) {
  EXPECT_DOUBLE_EQ(adjustedGaussianRadius(1.0), 1.6);
  EXPECT_DOUBLE_EQ(adjustedGaussianRadius(2.0), 3.4);
  EXPECT_DOUBLE_EQ(adjustedGaussianRadius(0.2), 0.22);
}

TEST(GaussianKernel, TruncatedWeightsFollowTheExponential) {
  for (double x = 0.0; x < 6.0; x += 0.001) {
    double exact = 255.0 * std::exp(-x);
    int32 weight = truncatedWeight(x);
    EXPECT_LE(double(weight), exact + 1e-9) << x;
    EXPECT_GT(double(weight) + 1.0, exact - 1e-9) << x;
  }
}

TEST(BoxDivisor, EveryWindowUpToTheLargestRadiusDividesExactly) {
  for (int32 window = 1; window <= 2 * int32(kMaximumBlurRadius) + 1; window += 2) {
    BoxDivisor divisor;
    ASSERT_TRUE(makeBoxDivisor(window, &divisor)) << window;
    for (uint32 sum = 0; sum <= 255u * uint32(window); ++sum) {
      ASSERT_EQ(uint32(divideWindowSum(divisor, sum)), sum / uint32(window)) << window;
    }
  }
}

TEST(BlurPlane, RadiusBelowTheFloorIsRaisedAndStoredBack) {
  PluginGlobals globals = noHost();
  TestPlane source(&globals, Shape{9, 9, 3, 0, 1}, 3);
  TestPlane floor(&globals, *source.get());
  TestPlane raised(&globals, *source.get());
  BlurRadius tiny{0.1, 0, 0};
  BlurRadius atFloor{0.2, 0, 0};
  ASSERT_TRUE(blurPlane(&tiny, *source.get(), raised.get(), handleMemory(&globals)));
  ASSERT_TRUE(blurPlane(&atFloor, *source.get(), floor.get(), handleMemory(&globals)));
  EXPECT_EQ(tiny.radius, 0.2);
  EXPECT_EQ(raised.snapshot(), floor.snapshot());
}

TEST(BlurPlane, UniformPlaneStaysUniform) {
  PluginGlobals globals = noHost();
  for (double radius : {0.5, 2.4, 2.5, 6.3, 10.0}) {
    TestPlane source(&globals, Shape{31, 20, 4, 3, 1}, 1);
    for (uint8& byte : source.bytes()) byte = 201;
    TestPlane destination(&globals, *source.get());
    BlurRadius record{radius, int32(radius), int32(radius)};
    ASSERT_TRUE(blurPlane(&record, *source.get(), destination.get(), handleMemory(&globals)));
    EXPECT_EQ(destination.snapshot(), source.snapshot()) << radius;
  }
}

TEST(BlurPlane, EdgesBlurAgainstReplicatedPixelsNotBlack) {
  PluginGlobals globals = noHost();
  for (double radius : {1.0, 5.5}) {
    // Light left half, dark right half; the corners lie farther from the step than any blur
    // reaches, so only edge pixels taken as black could change them.
    TestPlane source(&globals, Shape{40, 12, 3, 0, 1}, 1);
    uint8* pixels = *source.get()->pixelAddress;
    int32 rowBytes = *source.get()->rowBytes;
    for (int32 y = 0; y < 12; ++y) {
      for (int32 x = 0; x < 40; ++x)
        std::memset(pixels + y * rowBytes + x * 3, x < 20 ? 240 : 10, 3);
    }
    TestPlane destination(&globals, *source.get());
    BlurRadius record{radius, 0, 0};
    ASSERT_TRUE(blurPlane(&record, *source.get(), destination.get(), handleMemory(&globals)));
    const uint8* out = *destination.get()->pixelAddress;
    EXPECT_EQ(out[0], 240) << radius;                      // top-left corner
    EXPECT_EQ(out[11 * rowBytes + 39 * 3], 10) << radius;  // bottom-right corner
  }
}

TEST(BlurPlane, SampleStepFourWithRadiusThreeLeavesTheImage) {
  PluginGlobals globals = noHost();
  TestPlane source(&globals, Shape{40, 40, 3, 0, 4}, 5);
  TestPlane destination(&globals, *source.get());
  BlurRadius record{3.0, 3, 3};
  ASSERT_TRUE(blurPlane(&record, *source.get(), destination.get(), handleMemory(&globals)));
  EXPECT_EQ(destination.snapshot(), source.snapshot());
}

TEST(BlurPlane, RectanglesComeBackUnchanged) {
  PluginGlobals globals = noHost();
  for (double radius : {1.0, 3.7}) {
    TestPlane source(&globals, Shape{30, 30, 3, 8, 1}, 5);
    TestPlane destination(&globals, *source.get());
    Rect inner = source.get()->inner;
    BlurRadius record{radius, 3, 3};
    ASSERT_TRUE(blurPlane(&record, *source.get(), destination.get(), handleMemory(&globals)));
    for (ImagePlane* plane : {source.get(), destination.get()}) {
      EXPECT_EQ(std::memcmp(&plane->inner, &inner, sizeof(Rect)), 0) << radius;
    }
  }
}

}  // namespace
