// The drawing of each kind of picture. Each function returns the picture in full colour at
// its final size; artwork.cpp reduces it to the bit depth of its resource. Texts are drawn
// with the given fonts; a Fonts that failed to open draws no text (the catalogue refuses to
// draw with one).
#pragma once

#include <string>
#include <vector>

#include "resources/artwork/canvas.h"
#include "resources/artwork/text.h"

namespace artwork {

Canvas drawDialogBackground(const Fonts& fonts);

enum class ButtonKind { Primary, Plain };
Canvas drawButton(const Fonts& fonts, int width, int height, const std::string& label,
                  ButtonKind kind, bool pressed);
Canvas drawAccelerationToggle(const Fonts& fonts, bool on);

constexpr int kEyeDistanceSteps = 5;
constexpr int kProfileSteps = 3;
// step is 1-based, as the settings count it.
Canvas drawEyeDistancePicture(const Fonts& fonts, int step, bool pressed);
Canvas drawProfilePicture(const Fonts& fonts, int step, bool pressed);

Canvas drawAboutPicture(const Fonts& fonts);

}  // namespace artwork
