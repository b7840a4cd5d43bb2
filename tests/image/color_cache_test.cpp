#include "image/color_cache.h"

#include <gtest/gtest.h>

#include <vector>

#include "fake_color_host.h"
#include "image/color_conversion.h"

namespace {

class ColorCacheTest : public ::testing::Test {
 protected:
  FakeColorHost host{plugInModeCMYKColor};

  ColorCache* make(uint32 slots, int8 probes, int8 entrySize, int8 keySize) {
    ColorCache* cache = createColorCache(&host.procs, slots, probes, entrySize, keySize);
    caches.push_back(cache);
    return cache;
  }
  void TearDown() override {
    for (ColorCache*& cache : caches) destroyColorCache(cache);
    EXPECT_EQ(host.handlesLive, 0);
  }
  std::vector<ColorCache*> caches;
};

TEST_F(ColorCacheTest, HomeValueTakesKeyBytesAsSigned) {
  const struct {
    std::vector<uint8> key;
    uint32 home;
  } cases[] = {
      {{255}, 16977},  // h = 4294967295
      {{128}, 16850},  // h = 4294967168
      {{127}, 127},
      {{0}, 0},
      {{1, 2}, 258},
      {{255, 255, 255}, 151192},
      {{0, 0, 0, 200}, 16922},
      {{10, 20, 30, 40}, 84685},
  };
  for (const auto& c : cases) {
    ColorCache* cache =
        make(kColorCacheSlots, kColorCacheProbes, int8(c.key.size() + 3), int8(c.key.size()));
    EXPECT_EQ(colorCacheHome(*cache, c.key.data()), c.home) << int(c.key[0]);
  }
}

TEST_F(ColorCacheTest, NewCacheIsLockedAndEmpty) {
  ColorCache* cache = make(kColorCacheSlots, kColorCacheProbes, 7, 4);
  ASSERT_NE(cache->table, nullptr);
  EXPECT_EQ(cache->loadLimit, 160005);
  EXPECT_EQ(cache->insertCount, 0);
  const uint8 key[4] = {10, 20, 30, 40};
  EXPECT_EQ(lookupColor(cache, key), nullptr);
}

TEST_F(ColorCacheTest, StoresAndFindsColours) {
  ColorCache* cache = make(kColorCacheSlots, kColorCacheProbes, 7, 4);
  const uint8 keys[][4] = {{10, 20, 30, 40}, {255, 255, 255, 255}, {0, 9, 9, 9}, {0, 0, 0, 0}};
  const uint8 values[][3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {11, 12, 13}};
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(insertColor(cache, keys[i], values[i]));
  for (int i = 0; i < 4; ++i) {
    const uint8* found = lookupColor(cache, keys[i]);
    ASSERT_NE(found, nullptr) << i;
    EXPECT_EQ(std::vector<uint8>(found, found + 3), std::vector<uint8>(values[i], values[i] + 3));
  }
  EXPECT_EQ(cache->insertCount, 4);
}

// In a small table the probes of key 5 are slots 5, 10 and 2 (15 mod 13).
TEST_F(ColorCacheTest, KeyWhoseProbesAreAllTakenIsNeitherFoundNorStored) {
  ColorCache* cache = make(13, 3, 2, 1);
  for (int slot : {5, 10, 2}) cache->table[slot * 2] = uint8(100 + slot);
  const uint8 key = 5, value = 77;
  EXPECT_EQ(lookupColor(cache, &key), nullptr);
  EXPECT_FALSE(insertColor(cache, &key, &value));
  EXPECT_EQ(cache->insertCount, 0);
  cache->table[2 * 2] = 0;  // free the last probe
  EXPECT_TRUE(insertColor(cache, &key, &value));
  EXPECT_EQ(cache->table[2 * 2 + 1], 77);
  EXPECT_EQ(*lookupColor(cache, &key), 77);
}

// With the run's slot count the probes of a key whose home is past half the table wrap on
// every step: white's home 151192 probes 151192, 102377 (302384 mod 200007) and 53562.
// Entries of 7 bytes, the run's RGB-to-CMYK cache, take the lookup made for that size.
TEST_F(ColorCacheTest, ProbesWrapAroundALargeTable) {
  for (int8 entry : {int8(6), int8(7)}) {
    ColorCache* cache = make(kColorCacheSlots, 3, entry, 3);
    const uint8 white[3] = {255, 255, 255}, value[4] = {1, 2, 3, 4};
    for (uint32 slot : {151192u, 102377u}) cache->table[size_t(slot) * size_t(entry)] = 9;
    ASSERT_TRUE(insertColor(cache, white, value));
    EXPECT_EQ(cache->table[size_t(53562) * size_t(entry) + 3], 1);
    ASSERT_NE(lookupColor(cache, white), nullptr);
    EXPECT_EQ(lookupColor(cache, white), cache->table + size_t(53562) * size_t(entry) + 3);
  }
}

TEST_F(ColorCacheTest, InsertionPastTheLoadLimitClearsTheTableFirst) {
  ColorCache* cache = make(kColorCacheSlots, kColorCacheProbes, 7, 4);
  const uint8 first[4] = {1, 1, 1, 1}, second[4] = {2, 2, 2, 2}, third[4] = {3, 3, 3, 3};
  const uint8 value[3] = {9, 9, 9};
  ASSERT_TRUE(insertColor(cache, first, value));
  cache->insertCount = 160005;  // at the limit: the next insertion still counts up
  ASSERT_TRUE(insertColor(cache, second, value));
  EXPECT_EQ(cache->insertCount, 160006);
  EXPECT_NE(lookupColor(cache, first), nullptr);
  ASSERT_TRUE(insertColor(cache, third, value));  // the insertion after 160006
  EXPECT_EQ(cache->insertCount, 0);
  EXPECT_EQ(lookupColor(cache, first), nullptr);
  EXPECT_EQ(lookupColor(cache, second), nullptr);
  EXPECT_NE(lookupColor(cache, third), nullptr);
}

TEST_F(ColorCacheTest, LockAndUnlockAreIdempotent) {
  ColorCache* cache = make(kColorCacheSlots, kColorCacheProbes, 7, 4);
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
  ColorCache* cache = make(kColorCacheSlots, kColorCacheProbes, 7, 4);
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

// A direct cache keeps the last colour that came to each slot, for every key size it takes;
// the all-zero colour is told from an empty slot. In a table of two slots, of three colours at
// least two share a slot, so at most two are still found, always the last one stored.
TEST_F(ColorCacheTest, DirectCacheKeepsTheLastColourOfEachSlot) {
  const struct {
    int8 keySize;
    int8 valueSize;
    std::vector<std::vector<uint8>> keys;
  } cases[] = {{4, 3, {{0, 0, 0, 0}, {10, 20, 30, 40}, {255, 255, 255, 255}}},
               {3, 3, {{0, 0, 0}, {1, 2, 3}, {200, 100, 0}}},
               {1, 3, {{0}, {7}, {255}}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.keySize));
    ColorCache* roomy = createDirectColorCache(&host.procs, 16, c.keySize, c.valueSize);
    ColorCache* tight = createDirectColorCache(&host.procs, 1, c.keySize, c.valueSize);
    caches.push_back(roomy);
    caches.push_back(tight);
    ASSERT_TRUE(roomy && roomy->table && tight && tight->table);
    EXPECT_EQ(lookupColor(roomy, c.keys[0].data()), nullptr);
    for (size_t i = 0; i < c.keys.size(); ++i) {
      const uint8 value[3] = {uint8(i + 1), uint8(i + 2), uint8(i + 3)};
      EXPECT_TRUE(insertColor(roomy, c.keys[i].data(), value));
      EXPECT_TRUE(insertColor(tight, c.keys[i].data(), value));
      const uint8* last = lookupColor(tight, c.keys[i].data());
      ASSERT_NE(last, nullptr);
      EXPECT_EQ(std::vector<uint8>(last, last + 3), std::vector<uint8>(value, value + 3));
    }
    int found = 0;
    for (size_t i = 0; i < c.keys.size(); ++i) {
      const uint8* value = lookupColor(roomy, c.keys[i].data());
      ASSERT_NE(value, nullptr) << i;
      EXPECT_EQ(value[0], i + 1);
      found += lookupColor(tight, c.keys[i].data()) != nullptr;
    }
    EXPECT_LE(found, 2);
  }
}

// Keys or values wider than a direct slot holds leave the cache without a table: it caches
// nothing rather than storing half a colour.
TEST_F(ColorCacheTest, DirectCacheRefusesColoursItCannotHold) {
  const struct {
    int8 keySize;
    int8 valueSize;
  } cases[] = {{5, 3}, {4, 4}, {0, 3}};
  for (const auto& c : cases) {
    ColorCache* cache = createDirectColorCache(&host.procs, 8, c.keySize, c.valueSize);
    caches.push_back(cache);
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->tableHandle, nullptr) << int(c.keySize) << "," << int(c.valueSize);
    const uint8 key[5] = {1, 2, 3, 4, 5}, value[4] = {1, 2, 3, 4};
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
    EXPECT_EQ(toRgb->entrySize, c.channels + 3);
    EXPECT_EQ(fromRgb->keySize, 3);
    EXPECT_EQ(fromRgb->entrySize, 3 + c.channels);
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
