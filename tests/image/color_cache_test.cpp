#include "image/color_cache.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_color_host.h"
#include "image/color_conversion.h"

namespace {

class ColorCacheTest : public ::testing::Test {
 protected:
  FakeColorHost host{plugInModeCMYKColor};

  ColorCache* make(int8 slotBits, int8 keySize, int8 valueSize) {
    ColorCache* cache = createColorCache(&host.procs, slotBits, keySize, valueSize);
    caches.push_back(cache);
    return cache;
  }
  void TearDown() override {
    for (ColorCache*& cache : caches) destroyColorCache(cache);
    EXPECT_EQ(host.handlesLive, 0);
  }
  std::vector<ColorCache*> caches;
};

TEST_F(ColorCacheTest, NewCacheIsLockedAndEmpty) {
  ColorCache* cache = make(kColorCacheSlotBits, 4, 3);
  ASSERT_NE(cache->table, nullptr);
  EXPECT_EQ(cache->slotCount, 1u << 20);
  EXPECT_EQ(cache->insertCount, 0);
  const uint8 key[4] = {0, 0, 0, 0};
  EXPECT_EQ(lookupColor(cache, key), nullptr);
}

// Every value byte comes back, for each key and value size the run uses: a three-byte key has
// four bytes of value, the last of which lies where a four-byte key keeps its filled mark.
TEST_F(ColorCacheTest, StoresAndFindsColoursOfEverySize) {
  const struct {
    int8 keySize;
    int8 valueSize;
  } cases[] = {{4, 3}, {3, 4}, {3, 3}, {3, 1}};
  const std::vector<std::vector<uint8>> keys = {
      {0, 0, 0, 0}, {10, 20, 30, 40}, {255, 255, 255, 255}, {0, 9, 9, 9}};
  const std::vector<std::vector<uint8>> values = {
      {1, 2, 3, 0}, {0, 0, 0, 0}, {255, 254, 253, 255}, {7, 0, 9, 255}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.keySize) + "," + std::to_string(c.valueSize));
    ColorCache* cache = make(16, c.keySize, c.valueSize);
    ASSERT_NE(cache->table, nullptr);
    for (size_t i = 0; i < keys.size(); ++i)
      EXPECT_TRUE(insertColor(cache, keys[i].data(), values[i].data()));
    for (size_t i = 0; i < keys.size(); ++i) {
      const uint8* found = lookupColor(cache, keys[i].data());
      ASSERT_NE(found, nullptr) << i;
      EXPECT_EQ(std::vector<uint8>(found, found + c.valueSize),
                std::vector<uint8>(values[i].begin(), values[i].begin() + c.valueSize));
    }
  }
}

// Every key lands inside the table, at the smallest slot counts as at the run's; two colours that
// share a slot cannot both be kept, and the one stored last is found.
TEST_F(ColorCacheTest, SlotsStayInTheTableAndTheLastColourStoredWins) {
  const uint8 extremes[][4] = {{0, 0, 0, 0},   {255, 255, 255, 255}, {0, 0, 0, 255},
                               {255, 0, 0, 0}, {1, 2, 3, 4},         {128, 128, 128, 128}};
  for (int8 bits : {int8(1), int8(2), int8(8), kColorCacheSlotBits}) {
    for (int8 keySize : {int8(3), int8(4)}) {
      ColorCache* cache = make(bits, keySize, 3);
      for (const auto& key : extremes)
        EXPECT_LT(colorCacheSlot(*cache, key), cache->slotCount)
            << int(bits) << "," << int(keySize);
      destroyColorCache(caches.back());
      caches.pop_back();
    }
  }

  ColorCache* rgb = make(4, 3, 4);
  const uint8 dark[3] = {10, 20, 30};
  uint8 twin[3] = {0, 20, 30};
  for (int first = 11; first < 256 && colorCacheSlot(*rgb, twin) != colorCacheSlot(*rgb, dark);
       ++first)
    twin[0] = uint8(first);
  ASSERT_EQ(colorCacheSlot(*rgb, twin), colorCacheSlot(*rgb, dark));
  const uint8 first[4] = {1, 2, 3, 4}, second[4] = {5, 6, 7, 8};
  insertColor(rgb, dark, first);
  insertColor(rgb, twin, second);
  EXPECT_EQ(lookupColor(rgb, dark), nullptr);
  ASSERT_NE(lookupColor(rgb, twin), nullptr);
  EXPECT_EQ(lookupColor(rgb, twin)[3], 8);
}

TEST_F(ColorCacheTest, LockAndUnlockAreIdempotent) {
  ColorCache* cache = make(8, 4, 3);
  int locks = host.locks;
  lockColorCache(cache);
  EXPECT_EQ(host.locks, locks);
  unlockColorCache(cache);
  unlockColorCache(cache);
  EXPECT_EQ(cache->table, nullptr);
  lockColorCache(cache);
  lockColorCache(cache);
  EXPECT_EQ(host.locks, locks + 1);
  EXPECT_NE(cache->table, nullptr);
}

TEST_F(ColorCacheTest, CacheWithoutTableCachesNothing) {
  host.allocationsToRefuse = 1;
  ColorCache* cache = make(8, 4, 3);
  ASSERT_NE(cache, nullptr);
  EXPECT_EQ(cache->tableHandle, nullptr);
  lockColorCache(cache);
  const uint8 key[4] = {0, 0, 0, 0}, value[3] = {1, 2, 3};
  EXPECT_FALSE(insertColor(cache, key, value));
  EXPECT_EQ(lookupColor(cache, key), nullptr);
  unlockColorCache(cache);
  EXPECT_EQ(lookupColor(nullptr, key), nullptr);
  EXPECT_FALSE(insertColor(nullptr, key, value));
}

// Keys or values wider than a slot holds leave the cache without a table: it caches nothing
// rather than storing half a colour.
TEST_F(ColorCacheTest, RefusesColoursItCannotHold) {
  const struct {
    int8 keySize;
    int8 valueSize;
  } cases[] = {{5, 3}, {4, 4}, {0, 3}, {3, 5}, {3, 0}};
  for (const auto& c : cases) {
    ColorCache* cache = make(8, c.keySize, c.valueSize);
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->tableHandle, nullptr) << int(c.keySize) << "," << int(c.valueSize);
    const uint8 key[5] = {1, 2, 3, 4, 5}, value[5] = {1, 2, 3, 4, 5};
    EXPECT_FALSE(insertColor(cache, key, value));
  }
}

TEST(ColorConversion, FillsTheHostsRecord) {
  FakeColorHost host(plugInModeLabColor);
  const uint8 lab[3] = {200, 100, 30};
  uint8 rgb[3] = {};
  convertColorThroughHost(pixelServices(&host.globals), plugInModeLabColor, plugInModeRGBColor, lab,
                          rgb);
  ASSERT_EQ(host.conversions.size(), 1u);
  const ColorServicesInfo& info = host.conversions[0];
  EXPECT_EQ(info.infoSize, int32(sizeof(ColorServicesInfo)));
  EXPECT_EQ(info.selector, plugIncolorServicesConvertColor);
  EXPECT_EQ(info.sourceSpace, plugIncolorServicesLabSpace);
  EXPECT_EQ(info.resultSpace, plugIncolorServicesRGBSpace);
  EXPECT_EQ(info.reservedSourceSpaceInfo, nullptr);
  EXPECT_EQ(info.reservedResultSpaceInfo, nullptr);
  EXPECT_EQ(info.reserved, nullptr);
  EXPECT_EQ(info.colorComponents[0], 200);
  EXPECT_EQ(info.colorComponents[1], 100);
  EXPECT_EQ(info.colorComponents[2], 30);
  EXPECT_EQ(info.colorComponents[3], 0);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(rgb[i], FakeColorHost::converted(lab, 3, i, plugIncolorServicesRGBSpace));
}

// Prepare's caches for the document's mode: sized by its channels and primed with black.
TEST(ColorConversion, RunCachesArePrimedWithBlack) {
  const struct {
    int16 mode;
    int8 channels;
    int16 space;
  } cases[] = {{plugInModeCMYKColor, 4, plugIncolorServicesCMYKSpace},
               {plugInModeGrayScale, 1, plugIncolorServicesGraySpace},
               {plugInModeLabColor, 3, plugIncolorServicesLabSpace}};
  for (const auto& c : cases) {
    FakeColorHost host(c.mode);
    createColorCaches(pixelServices(&host.globals), host.record.imageMode);
    ColorCache* toRgb = host.globals.colors.toRgbCache;
    ColorCache* fromRgb = host.globals.colors.fromRgbCache;
    ASSERT_TRUE(toRgb && fromRgb);
    EXPECT_EQ(toRgb->keySize, c.channels);
    EXPECT_EQ(toRgb->valueSize, 3);
    EXPECT_EQ(fromRgb->keySize, 3);
    EXPECT_EQ(fromRgb->valueSize, c.channels);
    EXPECT_EQ(toRgb->table, nullptr);
    EXPECT_EQ(fromRgb->table, nullptr);
    ASSERT_EQ(host.conversions.size(), 2u);
    EXPECT_EQ(host.conversions[0].sourceSpace, c.space);
    EXPECT_EQ(host.conversions[1].resultSpace, c.space);

    const uint8 black[4] = {0, 0, 0, 0};
    lockColorCache(toRgb);
    lockColorCache(fromRgb);
    const uint8* rgb = lookupColor(toRgb, black);
    const uint8* document = lookupColor(fromRgb, black);
    ASSERT_TRUE(rgb && document);
    EXPECT_EQ(rgb[0], FakeColorHost::converted(black, 4, 0, plugIncolorServicesRGBSpace));
    EXPECT_EQ(document[c.channels - 1],
              FakeColorHost::converted(black, 3, c.channels - 1, c.space));
    destroyColorCaches(host.globals.colors);
    EXPECT_EQ(host.globals.colors.toRgbCache, nullptr);
    EXPECT_EQ(host.globals.colors.fromRgbCache, nullptr);
    EXPECT_EQ(host.handlesLive, 0);
  }
}

TEST(ColorConversion, HostWithoutColourServicesSkipsThePriming) {
  FakeColorHost host(plugInModeCMYKColor, false);
  EXPECT_FALSE(hostConvertsColors(pixelServices(&host.globals)));
  createColorCaches(pixelServices(&host.globals), host.record.imageMode);
  ASSERT_NE(host.globals.colors.toRgbCache, nullptr);
  EXPECT_EQ(host.globals.colors.toRgbCache->insertCount, 0);
  EXPECT_EQ(host.globals.colors.fromRgbCache->insertCount, 0);
  destroyColorCaches(host.globals.colors);
}

TEST(ColorConversion, NewCachesReplaceTheOldOnes) {
  FakeColorHost host(plugInModeCMYKColor);
  createColorCaches(pixelServices(&host.globals), host.record.imageMode);
  createColorCaches(pixelServices(&host.globals), host.record.imageMode);
  EXPECT_EQ(host.handlesLive, 2);
  destroyColorCaches(host.globals.colors);
  EXPECT_EQ(host.handlesLive, 0);
}

}  // namespace

// A host whose colour services fail has not converted the colour: the module keeps the first
// error for the run, hands back black instead of whatever the host left in the record, asks
// the host nothing more, and remembers no colour from the failure. New caches clear it.
TEST(ColorConversion, AHostFailureIsKeptAndEndsTheConversions) {
  FakeColorHost host(plugInModeCMYKColor);
  createColorCaches(pixelServices(&host.globals), host.record.imageMode);
  host.conversions.clear();
  host.conversionsLeft = 1;
  lockColorCache(host.globals.colors.toRgbCache);
  const uint8 cyan[4] = {0, 255, 255, 255}, magenta[4] = {255, 0, 255, 255};
  const uint8 yellow[4] = {255, 255, 0, 255};
  uint8 rgb[3] = {9, 9, 9};
  convertColorCached(pixelServices(&host.globals), host.globals.colors.toRgbCache,
                     plugInModeCMYKColor, plugInModeRGBColor, cyan, rgb);
  EXPECT_EQ(host.globals.colors.colorError, noErr);
  convertColorCached(pixelServices(&host.globals), host.globals.colors.toRgbCache,
                     plugInModeCMYKColor, plugInModeRGBColor, magenta, rgb);
  EXPECT_EQ(host.globals.colors.colorError, errPlugInHostInsufficient);
  EXPECT_EQ(rgb[0] | rgb[1] | rgb[2], 0);
  convertColorCached(pixelServices(&host.globals), host.globals.colors.toRgbCache,
                     plugInModeCMYKColor, plugInModeRGBColor, yellow, rgb);
  EXPECT_EQ(host.conversions.size(), 2u);
  EXPECT_EQ(lookupColor(host.globals.colors.toRgbCache, magenta), nullptr);
  unlockColorCache(host.globals.colors.toRgbCache);
  host.conversionsLeft = -1;
  createColorCaches(pixelServices(&host.globals), host.record.imageMode);
  EXPECT_EQ(host.globals.colors.colorError, noErr);
  destroyColorCaches(host.globals.colors);
}
