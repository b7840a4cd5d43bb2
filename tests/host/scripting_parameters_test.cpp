// How each run's settings come about: the print size from the document, the defaults, the
// replayed parameters and the eye-distance rule; and what Finish records for the host.
#include "host/scripting_parameters.h"

#include <gtest/gtest.h>

#include "core/persisted_settings.h"
#include "core/print_size.h"

#include "host/entry_point.h"
#include "hostapi/constants.h"
#include "hostapp/filter_run.h"
#include "platform/driver.h"

namespace {

constexpr DescriptorKeyID kPar1 = fourCharCode("par1");
constexpr DescriptorKeyID kPar2 = fourCharCode("par2");
constexpr DescriptorKeyID kPar4 = fourCharCode("par4");
constexpr DescriptorKeyID kPar6 = fourCharCode("par6");

PixelDocument documentOf(int32 width, int32 height, double ppi) {
  PixelDocument document;
  document.description.width = width;
  document.description.height = height;
  document.description.horizontalResolution = Fixed(ppi * 65536.0);
  document.description.verticalResolution = Fixed(ppi * 65536.0);
  document.pixels.assign(document.byteCount(), 128);
  return document;
}

struct Established {
  SharpenSettings settings{};
  int32 touched = -1;
};

// Runs Prepare as a host does before a run and reads back what the module established.
Established prepare(PixelDocument* document, const RecordedAction* replay,
                    const DescriptorOptions& options = DescriptorOptions()) {
  HostServices services;
  services.descriptors = options;
  FilterHost host(ENTRYPOINT, document, services);
  RunRequest request;
  request.replay = replay;
  host.beginRun(request);
  EXPECT_EQ(host.call(filterSelectorPrepare), noErr);
  Established result;
  EXPECT_TRUE(establishedSettings(&host.session().record(), &result.settings, &result.touched));
  EXPECT_EQ(host.call(filterSelectorFinish), noErr);
  return result;
}

class ScriptingParametersTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::driver::reset(); }
};

TEST_F(ScriptingParametersTest, PrintSizeAndEyeDistanceFromTheDocument) {
  struct Case {
    const char* name;
    int32 width, height;
    double ppi;
    int32 printWidth, printHeight, eyeDistance;
  };
  for (const Case& c : {Case{"3000 x 2000 at 72", 3000, 2000, 72, 600, 600, 5},
                        Case{"2000 x 1500 at 72", 2000, 1500, 72, 600, 529, 3},
                        Case{"2400 x 1600 at 72", 2400, 1600, 72, 600, 564, 4},
                        Case{"300 x 300 at 300", 300, 300, 300, 25, 25, 1},
                        Case{"1700 x 10 at 72 (600 mm exactly)", 1700, 10, 72, 599, 3, 1}}) {
    SCOPED_TRACE(c.name);
    PixelDocument document = documentOf(c.width, c.height, c.ppi);
    Established result = prepare(&document, nullptr);
    EXPECT_EQ(result.settings.printWidth, c.printWidth);
    EXPECT_EQ(result.settings.printHeight, c.printHeight);
    EXPECT_EQ(result.settings.eyeDistance, c.eyeDistance);
    EXPECT_EQ(result.settings.personalProfile, 2);
    EXPECT_EQ(result.settings.printerResolution, 4);
    EXPECT_EQ(result.settings.imageSource, 1);
    EXPECT_EQ(result.touched, 0);
  }
}

TEST_F(ScriptingParametersTest, ReplayedParameters) {
  struct Case {
    const char* name;
    int32 width;
    RecordedAction action;
    int32 eyeDistance, personalProfile, printerResolution, touched;
  };
  // 1984 pixels at 72 ppi print about 700 mm wide: the print calls for eye distance 3.
  // 300 pixels call for nothing.
  for (const Case& c : {
           Case{"a recorded 5 gives way to the print's 3",
                1984,
                {{kPar2, kIntegerType, 5}},
                3,
                2,
                4,
                0},
           Case{"a recorded 3 stays, as recorded", 1984, {{kPar2, kIntegerType, 3}}, 3, 2, 4, 1},
           Case{"an empty descriptor keeps the defaults", 300, {}, 1, 2, 4, 0},
           Case{"other keys only", 300, {{fourCharCode("Amnt"), kIntegerType, 9}}, 1, 2, 4, 1},
           Case{"values out of range are clamped",
                300,
                {{kPar1, kIntegerType, 9}, {kPar4, kIntegerType, -4}},
                1,
                3,
                0,
                1},
           Case{"a value of another type is not taken",
                300,
                {{kPar1, fourCharCode("doub"), 1}},
                1,
                2,
                4,
                1},
       }) {
    SCOPED_TRACE(c.name);
    PixelDocument document = documentOf(c.width, 100, 72);
    Established result = prepare(&document, &c.action);
    EXPECT_EQ(result.settings.eyeDistance, c.eyeDistance);
    EXPECT_EQ(result.settings.personalProfile, c.personalProfile);
    EXPECT_EQ(result.settings.printerResolution, c.printerResolution);
    EXPECT_EQ(result.touched, c.touched);
  }
}

TEST_F(ScriptingParametersTest, HostsWithoutAUsableSuiteRunOnTheDefaults) {
  DescriptorOptions none, nullProcs, shortSuites;
  none.offered = false;
  nullProcs.nullProcs = true;
  shortSuites.readCount = 3;
  shortSuites.writeCount = 2;
  RecordedAction action = {{kPar1, kIntegerType, 3}};
  for (const DescriptorOptions& options : {none, nullProcs, shortSuites}) {
    PixelDocument document = documentOf(64, 48, 72);
    Established result = prepare(&document, &action, options);
    EXPECT_EQ(result.settings.personalProfile, 2);
    EXPECT_EQ(result.touched, 0);

    HostServices services;
    services.descriptors = options;
    FilterHost host(ENTRYPOINT, &document, services);
    RunResult run = host.run(RunRequest{});
    EXPECT_EQ(run.result, noErr);
    EXPECT_FALSE(run.recorded);
  }
}

TEST_F(ScriptingParametersTest, ARecordedRunReplaysWithTheSameSixValues) {
  PixelDocument document = documentOf(64, 48, 72);
  FilterHost host(ENTRYPOINT, &document, HostServices());
  RecordedAction action = {{kPar4, kIntegerType, 7}, {kPar6, kIntegerType, 3}};
  RunRequest request;
  request.replay = &action;
  RunResult first = host.run(request);
  ASSERT_EQ(first.result, noErr);
  ASSERT_TRUE(first.recorded);
  ASSERT_EQ(first.action.size(), 6u);
  const int32 expected[6] = {2, 1, 2, 7, 2, 3};
  for (int index = 0; index < 6; ++index) {
    EXPECT_EQ(first.action[size_t(index)].key, kPersistedSettings[index].descriptorKey);
    EXPECT_EQ(first.action[size_t(index)].type, kIntegerType);
    EXPECT_EQ(first.action[size_t(index)].value, expected[index]);
  }
  RunResult repeated = host.repeatLast();
  ASSERT_EQ(repeated.result, noErr);
  ASSERT_TRUE(repeated.recorded);
  for (int index = 0; index < 6; ++index) {
    EXPECT_EQ(repeated.action[size_t(index)].value, expected[index]);
  }
}

TEST(EyeDistanceTier, Thresholds) {
  struct Case {
    float width, height;
    int32 tier;
  };
  for (const Case& c :
       {Case{600.0f, 600.0f, 0}, Case{600.5f, 10.0f, 3}, Case{10.0f, 800.0f, 3},
        Case{800.1f, 10.0f, 4}, Case{1000.0f, 1000.0f, 4}, Case{10.0f, 1000.1f, 5}}) {
    EXPECT_EQ(eyeDistanceTier(c.width, c.height), c.tier) << c.width << " x " << c.height;
  }
}

}  // namespace
