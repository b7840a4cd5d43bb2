// The remembering engine answers repeated questions from its last answers; every answer must be
// the one the plain algorithm gives: the wrapped engine's conversion, with the way back taken
// from the first document colour that gave an RGB value. The reference below is that algorithm
// without any shortcut, asked the same questions in the same order.
#include "hostapp/color_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "hostapi/constants.h"

namespace {

class ReferenceRemembering {
 public:
  explicit ReferenceRemembering(std::unique_ptr<ColorEngine> engine) : engine_(std::move(engine)) {}

  bool convert(int16 sourceSpace, int16 resultSpace, int16 components[4]) {
    const int sourceCount = countOf(sourceSpace), resultCount = countOf(resultSpace);
    if (resultSpace == plugIncolorServicesRGBSpace && sourceCount > 0 &&
        inRange(components, sourceCount)) {
      std::array<int16, 4> original{components[0], components[1], components[2], components[3]};
      if (!engine_->convert(sourceSpace, resultSpace, components)) return false;
      if (inRange(components, 3) && origins_.size() < kColorMemoryLimit)
        origins_.emplace(rgbOf(sourceSpace, components), original);  // the first one stays
      return true;
    }
    if (sourceSpace == plugIncolorServicesRGBSpace && resultCount > 0 && inRange(components, 3)) {
      auto found = origins_.find(rgbOf(resultSpace, components));
      if (found != origins_.end()) {
        for (int i = 0; i < resultCount; ++i) components[i] = found->second[size_t(i)];
        return true;
      }
    }
    return engine_->convert(sourceSpace, resultSpace, components);
  }

 private:
  static int countOf(int16 space) {
    switch (space) {
      case plugIncolorServicesCMYKSpace:
        return 4;
      case plugIncolorServicesLabSpace:
        return 3;
      case plugIncolorServicesGraySpace:
        return 1;
      default:
        return 0;
    }
  }
  static bool inRange(const int16 c[], int count) {
    for (int i = 0; i < count; ++i)
      if (c[i] < 0 || c[i] > 255) return false;
    return true;
  }
  static std::array<int16, 4> rgbOf(int16 space, const int16 rgb[3]) {
    return {space, rgb[0], rgb[1], rgb[2]};
  }
  std::unique_ptr<ColorEngine> engine_;
  std::map<std::array<int16, 4>, std::array<int16, 4>> origins_;
};

std::unique_ptr<ColorEngine> makeEngine(const std::string& name, int16 mode) {
#ifndef _WIN32
  if (name == "lcms") {
    std::string problem;
    return makeLcmsColorEngine({}, mode, &problem);
  }
#endif
  (void)mode;
  return makeFormulaColorEngine();
}

struct Case {
  const char* engine;
  int16 mode;
  int16 space;
  int channels;
};

class RememberedAnswersTest : public ::testing::TestWithParam<Case> {};

// Asks what the filter asks, pixel after pixel: a document colour's RGB (colours drawn from a
// narrow range, so that they repeat and collide in the answers' slots), then the document
// colour of that RGB nudged a little, as sharpening does. Now and then a question the filter
// never asks: a component out of range, a pair of spaces that is not the document's.
TEST_P(RememberedAnswersTest, GivesThePlainAlgorithmsAnswers) {
  const Case& c = GetParam();
  RememberingColorEngine fast(makeEngine(c.engine, c.mode));
  ReferenceRemembering slow(makeEngine(c.engine, c.mode));
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> channel(40, 120), nudge(-2, 2), odd(0, 63);
  for (int question = 0; question < 300000; ++question) {
    int16 document[4] = {0, 0, 0, 0};
    for (int i = 0; i < c.channels; ++i) document[i] = int16(channel(random));
    int16 sourceSpace = c.space, resultSpace = plugIncolorServicesRGBSpace;
    switch (odd(random)) {
      case 0:
        document[0] = 300;
        break;
      case 1:
        document[c.channels - 1] = -1;
        break;
      case 2:
        resultSpace = plugIncolorServicesGraySpace;
        break;
      case 3:
        sourceSpace = 9;
        break;
      default:
        break;
    }
    int16 a[4], b[4];
    std::copy(document, document + 4, a);
    std::copy(document, document + 4, b);
    const bool fastAnswered = fast.convert(sourceSpace, resultSpace, a);
    ASSERT_EQ(fastAnswered, slow.convert(sourceSpace, resultSpace, b)) << question;
    ASSERT_EQ(std::vector<int16>(a, a + 4), std::vector<int16>(b, b + 4)) << question;
    if (!fastAnswered || resultSpace != plugIncolorServicesRGBSpace) continue;
    // The way back, sometimes exactly the RGB given, mostly a neighbour of it.
    for (int i = 0; i < 3; ++i)
      a[i] = b[i] = int16(std::min(255, std::max(0, a[i] + nudge(random))));
    a[3] = b[3] = 0;
    ASSERT_EQ(fast.convert(plugIncolorServicesRGBSpace, c.space, a),
              slow.convert(plugIncolorServicesRGBSpace, c.space, b))
        << question;
    ASSERT_EQ(std::vector<int16>(a, a + 4), std::vector<int16>(b, b + 4)) << question;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RememberedAnswersTest,
    ::testing::Values(Case{"formula", plugInModeCMYKColor, plugIncolorServicesCMYKSpace, 4},
                      Case{"formula", plugInModeLabColor, plugIncolorServicesLabSpace, 3},
                      Case{"formula", plugInModeGrayScale, plugIncolorServicesGraySpace, 1},
                      Case{"lcms", plugInModeCMYKColor, plugIncolorServicesCMYKSpace, 4},
                      Case{"lcms", plugInModeLabColor, plugIncolorServicesLabSpace, 3},
                      Case{"lcms", plugInModeGrayScale, plugIncolorServicesGraySpace, 1}),
    [](const ::testing::TestParamInfo<Case>& info) {
      return std::string(info.param.engine) + "_" + std::to_string(info.param.mode);
    });

}  // namespace
