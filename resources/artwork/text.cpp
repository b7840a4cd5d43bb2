#include "resources/artwork/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

namespace artwork {

namespace {

// Decodes UTF-8; a malformed byte stands for itself so that nothing is silently dropped.
std::vector<char32_t> decodeUtf8(const std::string& text) {
  std::vector<char32_t> codes;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (i + extra >= text.size()) {
      codes.push_back(lead);
      ++i;
      continue;
    }
    char32_t code = extra ? lead & (0x3F >> extra) : lead;
    for (int k = 1; k <= extra; ++k)
      code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    codes.push_back(code);
    i += extra + 1;
  }
  return codes;
}

}  // namespace

struct Fonts::Impl {
  FT_Library library = nullptr;
  FT_Face regular = nullptr;
  FT_Face bold = nullptr;
  std::string error;

  FT_Face face(const TextStyle& style) const {
    FT_Face f = style.weight == Weight::Bold ? bold : regular;
    FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(style.pixelSize));
    return f;
  }

  // Loads one glyph hinted for the grey rasteriser; false when the font lacks it.
  static bool load(FT_Face f, char32_t code, bool render) {
    const FT_UInt index = FT_Get_Char_Index(f, code);
    if (index == 0) return false;
    return FT_Load_Glyph(f, index, FT_LOAD_TARGET_LIGHT | (render ? FT_LOAD_RENDER : 0)) == 0;
  }

  // Walks the text: for each glyph calls visit(face, pen x) after loading it.
  template <typename Visit>
  int walk(const std::string& text, const TextStyle& style, bool render, Visit visit) const {
    if (!regular || !bold) return 0;
    FT_Face f = face(style);
    int pen = 0;
    FT_UInt previous = 0;
    for (char32_t code : decodeUtf8(text)) {
      const FT_UInt index = FT_Get_Char_Index(f, code);
      if (previous && index && FT_HAS_KERNING(f)) {
        FT_Vector kern;
        FT_Get_Kerning(f, previous, index, FT_KERNING_DEFAULT, &kern);
        pen += static_cast<int>(kern.x >> 6);
      }
      if (!load(f, code, render)) continue;
      visit(f, pen);
      pen += static_cast<int>((f->glyph->advance.x + 32) >> 6);
      previous = index;
    }
    return pen;
  }
};

Fonts::Fonts(const std::string& fontDirectory) : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->library) != 0) {
    impl_->error = "FreeType could not be initialised";
    return;
  }
  const std::string regular = fontDirectory + "/LiberationSans-Regular.ttf";
  const std::string bold = fontDirectory + "/LiberationSans-Bold.ttf";
  if (FT_New_Face(impl_->library, regular.c_str(), 0, &impl_->regular) != 0) {
    impl_->error = "cannot open font " + regular;
  } else if (FT_New_Face(impl_->library, bold.c_str(), 0, &impl_->bold) != 0) {
    impl_->error = "cannot open font " + bold;
  }
}

Fonts::~Fonts() {
  if (impl_->bold) FT_Done_Face(impl_->bold);
  if (impl_->regular) FT_Done_Face(impl_->regular);
  if (impl_->library) FT_Done_FreeType(impl_->library);
}

bool Fonts::ok() const { return impl_->error.empty(); }

const std::string& Fonts::error() const { return impl_->error; }

int Fonts::measure(const std::string& text, const TextStyle& style) const {
  return impl_->walk(text, style, false, [](FT_Face, int) {});
}

int Fonts::capHeight(const TextStyle& style) const {
  if (!ok()) return 0;
  FT_Face f = impl_->face(style);
  if (!Impl::load(f, U'H', false)) return 0;
  return static_cast<int>((f->glyph->metrics.horiBearingY + 32) >> 6);
}

int Fonts::draw(Canvas& canvas, int x, int y, const std::string& text,
                const TextStyle& style) const {
  const int advance = impl_->walk(text, style, true, [&](FT_Face f, int pen) {
    const FT_Bitmap& bitmap = f->glyph->bitmap;
    const int left = x + pen + f->glyph->bitmap_left;
    const int top = y - f->glyph->bitmap_top;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      for (unsigned col = 0; col < bitmap.width; ++col) {
        const int coverage = bitmap.buffer[row * bitmap.pitch + col];
        canvas.blend(left + static_cast<int>(col), top + static_cast<int>(row), style.colour,
                     coverage);
      }
    }
  });
  return x + advance;
}

void Fonts::drawCentred(Canvas& canvas, int centreX, int y, const std::string& text,
                        const TextStyle& style) const {
  draw(canvas, centreX - measure(text, style) / 2, y, text, style);
}

std::string defaultFontDirectory() { return "/usr/share/fonts/truetype/liberation"; }

}  // namespace artwork
