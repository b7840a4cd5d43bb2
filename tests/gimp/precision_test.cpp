// The filter's 8-bit change carried onto higher-precision values.
#include "gimp/precision.h"

#include <gtest/gtest.h>

#include <cstring>

// Two RGB pixels: the first untouched (its values keep their exact bits), the second moved in
// two channels, one of them past 1.0 (clamped).
TEST(CarryDifference, MovesChangedChannelsAndKeepsUntouchedPixelsBitForBit) {
  const uint8_t before[] = {10, 20, 30, 100, 250, 7};
  const uint8_t after[] = {10, 20, 30, 110, 255, 7};
  double values[] = {0.0400123, 0.0781, 0.1177, 0.39221, 0.99, 0.0275};
  double original[6];
  std::memcpy(original, values, sizeof values);
  std::vector<uint8_t> changed;
  carryDifference(before, after, values, 2, 3, &changed);
  EXPECT_EQ(changed, (std::vector<uint8_t>{0, 1}));
  EXPECT_EQ(std::memcmp(values, original, 3 * sizeof(double)), 0);
  EXPECT_DOUBLE_EQ(values[3], 0.39221 + 10 / 255.0);
  EXPECT_DOUBLE_EQ(values[4], 1.0);
  EXPECT_EQ(values[5], original[5]);
}

TEST(CarryDifference, DarkeningClampsAtZero) {
  const uint8_t before[] = {3, 200};
  const uint8_t after[] = {0, 200};
  double values[] = {0.004, 0.5};
  std::vector<uint8_t> changed;
  carryDifference(before, after, values, 1, 2, &changed);
  EXPECT_EQ(values[0], 0.0);
  EXPECT_EQ(values[1], 0.5);
  EXPECT_EQ(changed, std::vector<uint8_t>{1});
}
