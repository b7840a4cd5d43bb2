// Where the filter's windows put their controls, in window pixels (x, y, width, height).
// The pictures are drawn to fit these places: the background leaves them clear or marks
// them, the help pages carry their navigation marks under the help window's click areas,
// and the About picture keeps a quiet area where the window writes its three lines.
#pragma once

namespace artwork::layout {

struct Box {
  int x, y, w, h;
};

// Main dialog, 500 x 420.
constexpr int kDialogWidth = 500;
constexpr int kDialogHeight = 420;
constexpr Box kZoomIn{462, 57, 10, 10};     // "+"
constexpr Box kZoomOut{475, 57, 10, 10};    // "-"
constexpr Box kZoomLabel{442, 57, 20, 14};  // "1:n", left-aligned
constexpr Box kZoomReset{427, 57, 30, 10};  // a click on "Zoom" goes back to the first zoom
constexpr Box kPreviewPane{232, 71, 252, 218};
constexpr Box kFields{10, 93, 200, 212};  // the eight value fields and step selectors
constexpr int kFieldHeight = 30;          // each row of kFields, one under the other
constexpr int kFieldStep = 26;
constexpr int kStepSelectorInset = 7;  // the step selectors sit this far in on each side
constexpr Box kStatusLines{28, 361, 460, 53};
constexpr int kStatusLineCount = 4;
constexpr int kStatusLineStep = 13;
constexpr Box kOkButton{446, 323, 39, 23};
constexpr Box kCancelButton{352, 323, 79, 23};
constexpr Box kSaveButton{16, 331, 37, 18};
constexpr Box kLoadButton{67, 331, 37, 18};
constexpr Box kHelpButton{118, 331, 37, 18};
constexpr Box kAccelerationButton{173, 331, 37, 18};
constexpr int kBuildDateX = 400;  // the "V" key writes the build date here, in white
constexpr int kBuildDateY = 10;

// Help window, 460 x 350.
constexpr int kHelpWidth = 460;
constexpr int kHelpHeight = 350;
constexpr Box kHelpPrevious{384, 323, 20, 20};
constexpr Box kHelpClose{412, 323, 15, 20};
constexpr Box kHelpNext{427, 323, 20, 20};

// About window, 350 x 280; the window writes its lines in grey, 14 pixels high, from here.
constexpr int kAboutWidth = 350;
constexpr int kAboutHeight = 280;
constexpr Box kAboutText{214, 219, 130, 52};

}  // namespace artwork::layout
