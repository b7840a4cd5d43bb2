// Anti-aliased text on a Canvas, rasterised by FreeType from Liberation Sans (the metric
// twin of the "Arial" the dialogs draw their own texts in).
//
// Texts are UTF-8. Positions are the left end of the baseline in canvas pixels. Fonts are
// opened once by Fonts and live as long as it; a Fonts whose files could not be opened
// reports it through ok() and error(), and then draws nothing.
#pragma once

#include <memory>
#include <string>

#include "resources/artwork/canvas.h"

namespace artwork {

enum class Weight { Regular, Bold };

struct TextStyle {
  Weight weight = Weight::Regular;
  int pixelSize = 12;
  Rgb colour;
};

class Fonts {
 public:
  // Opens LiberationSans-Regular.ttf and LiberationSans-Bold.ttf from `fontDirectory`.
  explicit Fonts(const std::string& fontDirectory);
  ~Fonts();
  Fonts(const Fonts&) = delete;
  Fonts& operator=(const Fonts&) = delete;

  bool ok() const;
  const std::string& error() const;

  // Width of the text's advance in pixels.
  int measure(const std::string& text, const TextStyle& style) const;
  // Height of the capital letters above the baseline.
  int capHeight(const TextStyle& style) const;
  // Draws the text with its baseline starting at (x, y); returns the pen position after it.
  int draw(Canvas& canvas, int x, int y, const std::string& text, const TextStyle& style) const;
  // Draws the text centred on x.
  void drawCentred(Canvas& canvas, int centreX, int y, const std::string& text,
                   const TextStyle& style) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The directory Debian's fonts-liberation installs Liberation Sans into.
std::string defaultFontDirectory();

}  // namespace artwork
