// The tile walk: which rectangles the module requests, which cores it sharpens, and the
// progress it reports, on the record fields alone.
#include "host/tile_walk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Tile {
  Rect request;
  Rect core;
};

bool sameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

std::vector<Tile> walk(const Rect& area, int16 planes = 3) {
  FilterRecord record;
  std::memset(static_cast<void*>(&record), 0, sizeof(record));
  record.filterRect = area;
  record.planes = planes;
  FilterParameters parameters;
  std::memset(static_cast<void*>(&parameters), 0, sizeof(parameters));
  applyRunDefaults(&parameters);
  pointHostViews(&record, &parameters);
  std::vector<Tile> tiles;
  requestFirstTile(&record, &parameters);
  do {
    EXPECT_TRUE(sameRect(record.inRect, record.outRect));
    EXPECT_TRUE(sameRect(parameters.inputPlane.inner, parameters.outputPlane.inner));
    EXPECT_TRUE(sameRect(parameters.inputPlane.area, record.inRect));
    EXPECT_EQ(record.inHiPlane, planes - 1);
    EXPECT_EQ(parameters.inputPlane.channels, planes);
    tiles.push_back(Tile{record.outRect, parameters.outputPlane.inner});
  } while (requestNextTile(&record, &parameters) && tiles.size() < 1000);
  return tiles;
}

Rect shifted(Rect rect, int16 dx) {
  rect.left = int16(rect.left + dx);
  rect.right = int16(rect.right + dx);
  return rect;
}

TEST(TileWalk, RequestsAndCoresOfTheWalk) {
  struct Case {
    const char* name;
    Rect area;
    std::vector<Tile> tiles;
  };
  const std::vector<Tile> wide = {{{0, 0, 672, 672}, {0, 0, 640, 640}},
                                  {{0, 608, 672, 1312}, {0, 640, 640, 1280}},
                                  {{0, 1248, 672, 1400}, {0, 1280, 640, 1400}},
                                  {{608, 0, 700, 672}, {640, 0, 700, 640}},
                                  {{608, 608, 700, 1312}, {640, 640, 700, 1280}},
                                  {{608, 1248, 700, 1400}, {640, 1280, 700, 1400}}};
  std::vector<Tile> wideShifted;
  for (const Tile& tile : wide) {
    wideShifted.push_back(Tile{shifted(tile.request, 100), shifted(tile.core, 100)});
  }
  for (const Case& c :
       {Case{"one tile", {0, 0, 100, 100}, {{{0, 0, 100, 100}, {0, 0, 100, 100}}}},
        Case{"1400 x 700", {0, 0, 700, 1400}, wide},
        Case{"1400 x 700 from column 100", {0, 100, 700, 1500}, wideShifted},
        Case{"672 fits one tile with its overlap",
             {0, 0, 10, 672},
             {{{0, 0, 10, 672}, {0, 0, 10, 672}}}},
        Case{"673 does not",
             {0, 0, 10, 673},
             {{{0, 0, 10, 672}, {0, 0, 10, 640}}, {{0, 608, 10, 673}, {0, 640, 10, 673}}}}}) {
    SCOPED_TRACE(c.name);
    std::vector<Tile> tiles = walk(c.area);
    ASSERT_EQ(tiles.size(), c.tiles.size());
    for (size_t i = 0; i < tiles.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_TRUE(sameRect(tiles[i].request, c.tiles[i].request));
      EXPECT_TRUE(sameRect(tiles[i].core, c.tiles[i].core));
    }
  }
}

TEST(TileWalk, EveryPixelOfTheAreaLiesInExactlyOneCore) {
  for (const Rect& area : {Rect{3, 7, 1293, 1308}, Rect{0, 0, 1, 1}, Rect{0, 0, 2000, 33},
                           Rect{640, 640, 1281, 1281}}) {
    std::vector<Tile> tiles = walk(area);
    int32 width = area.right - area.left;
    int32 height = area.bottom - area.top;
    std::vector<int> covered(size_t(width) * size_t(height), 0);
    for (const Tile& tile : tiles) {
      // A request reaches exactly the overlap past its core, never outside the area.
      EXPECT_GE(tile.request.top, area.top);
      EXPECT_LE(tile.request.bottom, area.bottom);
      EXPECT_EQ(tile.request.left, tile.core.left == area.left ? area.left : tile.core.left - 32);
      EXPECT_EQ(tile.request.bottom,
                tile.core.bottom == area.bottom ? area.bottom : tile.core.bottom + 32);
      for (int32 y = tile.core.top; y < tile.core.bottom; ++y)
        for (int32 x = tile.core.left; x < tile.core.right; ++x)
          ++covered[size_t(y - area.top) * size_t(width) + size_t(x - area.left)];
    }
    for (int count : covered) ASSERT_EQ(count, 1);
  }
}

TEST(TileWalk, ProgressCountsTheCoresDone) {
  struct Case {
    Rect area;
    Rect core;
    int32 done;
    int32 total;
  };
  for (const Case& c : {Case{{0, 0, 700, 1400}, {0, 0, 640, 640}, 409600, 980000},
                        Case{{0, 0, 700, 1400}, {0, 1280, 640, 1400}, 896000, 980000},
                        Case{{0, 0, 700, 1400}, {640, 640, 700, 1280}, 896000 + 60 * 1280, 980000},
                        Case{{0, 0, 700, 1400}, {640, 1280, 700, 1400}, 980000, 980000},
                        // A selection away from the origin also ends at done == total.
                        Case{{50, 100, 150, 300}, {50, 100, 150, 300}, 20000, 20000}}) {
    int32 done = 0;
    int32 total = 0;
    progressOfCore(c.area, c.core, &done, &total);
    EXPECT_EQ(done, c.done);
    EXPECT_EQ(total, c.total);
  }
}

TEST(TileWalk, ClearedRequestsAreEmpty) {
  FilterRecord record;
  std::memset(static_cast<void*>(&record), 0, sizeof(record));
  record.inRect = record.outRect = record.maskRect = Rect{1, 2, 3, 4};
  record.inHiPlane = record.outHiPlane = 3;
  EXPECT_TRUE(hasRequest(record));
  clearRequests(&record);
  EXPECT_FALSE(hasRequest(record));
  EXPECT_EQ(record.inHiPlane, 0);
  EXPECT_EQ(record.outHiPlane, 0);
}

}  // namespace
