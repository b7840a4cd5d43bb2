// The colours and type sizes every picture of the filter shares, so the dialog, its buttons,
// the help pages and the About picture read as one piece. The first sixteen are also the
// whole colour table of the 4-bit pictures (palette.cpp), so pictures meant for 4 bits draw
// with these only.
#pragma once

#include "resources/artwork/canvas.h"

namespace artwork::theme {

// The sixteen colours.
constexpr Rgb kInk{33, 37, 41};  // body text
constexpr Rgb kGrey1{70, 75, 80};
constexpr Rgb kGrey2{112, 117, 122};  // secondary text
constexpr Rgb kGrey3{152, 156, 160};
constexpr Rgb kGrey4{192, 195, 198};  // lines, button borders
constexpr Rgb kGrey5{222, 225, 228};  // pressed button face
constexpr Rgb kGrey6{242, 243, 245};  // button face
constexpr Rgb kPaper{255, 255, 255};
constexpr Rgb kSlate{40, 56, 74};        // title bands
constexpr Rgb kSlateMid{105, 122, 140};  // anti-aliased edges of light text on slate
constexpr Rgb kSlateLight{176, 188, 200};
constexpr Rgb kAccent{38, 108, 186};     // the primary button, selected pictures
constexpr Rgb kAccentMid{98, 149, 206};  // anti-aliased edges of white text on the accent
constexpr Rgb kAccentSoft{158, 190, 226};
constexpr Rgb kAccentLight{208, 224, 242};
constexpr Rgb kRed{196, 52, 44};

// Colours used only in pictures of 8 or 24 bits.
constexpr Rgb kAccentDark{26, 80, 142};  // pressed primary button
constexpr Rgb kGreen{56, 150, 84};       // the lit acceleration lamp
constexpr Rgb kSkin{246, 206, 168};
constexpr Rgb kHairBrown{122, 76, 42};
constexpr Rgb kHairDark{52, 44, 40};
constexpr Rgb kHairBlond{214, 170, 80};

// Type sizes in pixels.
constexpr int kTitleSize = 22;
constexpr int kHeadingSize = 12;
constexpr int kBodySize = 12;
constexpr int kButtonSize = 13;
constexpr int kSmallButtonSize = 11;

}  // namespace artwork::theme
