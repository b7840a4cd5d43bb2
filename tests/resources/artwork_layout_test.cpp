// The pictures against the windows that show them: what the dialogs draw over the background
// must land on white, the marks under the click areas must be there, and the About window's
// grey lines must have a light place to go.
#include <gtest/gtest.h>

#include "resource_files.h"
#include "resources/artwork/layout.h"

namespace {

using namespace resources_test;
namespace layout = artwork::layout;

struct Area {
  const char* what;
  layout::Box box;
};

// Counts the pixels of the area that are not pure white.
int nonWhitePixels(const artwork::DecodedBitmap& b, const Area& a) {
  int count = 0;
  const layout::Box& box = a.box;
  for (int y = box.y; y < box.y + box.h; ++y) {
    for (int x = box.x; x < box.x + box.w; ++x)
      count += pixelAt(b, x, y) != artwork::Rgb{255, 255, 255};
  }
  return count;
}

// The value fields, the status lines and the zoom factor paint their text on an opaque white,
// and the preview pane clears itself to white when the picture shrinks: the background under
// them has to be white too, or every label would sit in a white box.
TEST(DialogBackground, PlacesTheControlsPaintOnAreWhite) {
  const auto background = committedBitmap("FILTER_MAIN_BITMAP");
  ASSERT_EQ(background.width, layout::kDialogWidth);
  const layout::Box& zoom = layout::kZoomLabel;
  const Area areas[] = {{"preview pane", layout::kPreviewPane},
                        {"value fields and step selectors", layout::kFields},
                        {"status lines", layout::kStatusLines},
                        {"zoom factor (one cell of the 12-pixel font)", {zoom.x, zoom.y, 19, 12}}};
  for (const Area& a : areas) EXPECT_EQ(nonWhitePixels(background, a), 0) << a.what;
}

TEST(DialogBackground, FramesThePreviewPane) {
  const auto b = committedBitmap("FILTER_MAIN_BITMAP");
  ASSERT_EQ(b.width, layout::kDialogWidth);
  const layout::Box& pane = layout::kPreviewPane;
  const int cx = pane.x + pane.w / 2, cy = pane.y + pane.h / 2;
  for (auto [x, y] : {std::pair{pane.x - 1, cy},
                      {pane.x + pane.w, cy},
                      {cx, pane.y - 1},
                      {cx, pane.y + pane.h}}) {
    EXPECT_LT(luminance(pixelAt(b, x, y)), 230) << "no frame at " << x << "," << y;
  }
}

// "+" has a vertical bar through the centre of its click area, "-" has none.
TEST(DialogBackground, ZoomMarksSitUnderTheirClickAreas) {
  const auto b = committedBitmap("FILTER_MAIN_BITMAP");
  ASSERT_EQ(b.width, layout::kDialogWidth);
  struct Mark {
    layout::Box at;
    bool plus;
  };
  for (const Mark& mark : {Mark{layout::kZoomIn, true}, Mark{layout::kZoomOut, false}}) {
    const layout::Box& m = mark.at;
    SCOPED_TRACE(mark.plus ? "+" : "-");
    EXPECT_LT(luminance(pixelAt(b, m.x + 3, m.y + 4)), 100) << "horizontal bar";
    EXPECT_LT(luminance(pixelAt(b, m.x + 6, m.y + 4)), 100) << "horizontal bar";
    EXPECT_EQ(luminance(pixelAt(b, m.x + 4, m.y + 2)) < 100, mark.plus) << "vertical bar";
  }
}

// Pressing V writes the build date in white, 14 pixels high.
TEST(DialogBackground, BuildDateLandsOnDarkGround) {
  const auto b = committedBitmap("FILTER_MAIN_BITMAP");
  ASSERT_EQ(b.width, layout::kDialogWidth);
  for (int y = layout::kBuildDateY; y < layout::kBuildDateY + 16; ++y) {
    for (int x = layout::kBuildDateX; x < layout::kBuildDateX + 90; ++x)
      ASSERT_LT(luminance(pixelAt(b, x, y)), 80) << x << "," << y;
  }
}

TEST(AboutPicture, TextAreaIsQuietAndLight) {
  const auto b = committedBitmap("ABOUT_BITMAP");
  ASSERT_EQ(b.width, layout::kAboutWidth);
  // Three lines of 14-pixel text, the last ending two pixels below the area.
  const layout::Box& text = layout::kAboutText;
  for (int y = text.y; y < text.y + text.h + 2; ++y) {
    for (int x = text.x; x < text.x + text.w + 1; ++x)
      ASSERT_GT(luminance(pixelAt(b, x, y)), 235) << x << "," << y;
  }
}

struct NavigationSpot {
  const char* what;
  layout::Box box;
};

const NavigationSpot kBack{"back", layout::kHelpPrevious};
const NavigationSpot kClose{"close", layout::kHelpClose};
const NavigationSpot kNext{"next", layout::kHelpNext};

int darkestIn(const artwork::DecodedBitmap& b, const NavigationSpot& spot) {
  const layout::Box& s = spot.box;
  int darkest = 255;
  for (int y = s.y; y < s.y + s.h; ++y) {
    for (int x = s.x; x < s.x + s.w; ++x) darkest = std::min(darkest, luminance(pixelAt(b, x, y)));
  }
  return darkest;
}

// Each of the help window's three click areas shows its mark, inside the area.
TEST(HelpPages, NavigationMarksSitInTheClickAreas) {
  for (int page = 1; page <= 9; ++page) {
    SCOPED_TRACE(page);
    const auto b = committedBitmap("FILTER_HELP_BITMAP" + std::to_string(page));
    ASSERT_EQ(b.width, layout::kHelpWidth);
    for (const NavigationSpot& spot : {kBack, kClose, kNext}) {
      const layout::Box& s = spot.box;
      EXPECT_LT(darkestIn(b, spot), 215) << spot.what << " mark missing";
      const int cx = s.x + s.w / 2, cy = s.y + s.h / 2;
      EXPECT_NE(pixelAt(b, cx, cy), (artwork::Rgb{255, 255, 255}))
          << spot.what << " mark off centre";
    }
  }
}

// There is nothing before the first page and nothing after the last: their marks are dimmed.
TEST(HelpPages, MarksWithNowhereToGoAreDimmed) {
  const auto first = committedBitmap("FILTER_HELP_BITMAP1");
  const auto middle = committedBitmap("FILTER_HELP_BITMAP5");
  const auto last = committedBitmap("FILTER_HELP_BITMAP9");
  ASSERT_EQ(first.width, layout::kHelpWidth);
  EXPECT_GT(darkestIn(first, kBack), darkestIn(middle, kBack) + 60);
  EXPECT_GT(darkestIn(last, kNext), darkestIn(middle, kNext) + 60);
  EXPECT_EQ(darkestIn(first, kNext), darkestIn(middle, kNext));
}

}  // namespace
