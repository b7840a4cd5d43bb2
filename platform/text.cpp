// Fonts and text. Every face name is drawn with Liberation Sans, the metric-compatible stand-in
// for "Arial" (bold from weight 600). Heights follow Windows: a negative height is the
// character height (the em size in pixels), a positive one the cell height (ascent plus
// descent from the font's Windows metrics; the em size is the largest whose rounded ascent
// and descent fit), 0 a default of 16. Glyphs come from FreeType: black and white unless the
// font asks for anti-aliasing, whose coverage is then blended into the background.
// The text cell is the advances' width by ascent plus descent; TextOutA anchors it by the
// DC's alignment (left, right or centre; top, baseline or bottom) and fills it with the
// background colour first in OPAQUE mode.
#include "platform/embedded_files.h"
#include "platform/stand_in.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstring>

using namespace standin;

namespace {

// Compiled into the binary (platform/embedded_files.h): text looks the same on any machine.
constexpr std::string_view regularFace = "fonts/LiberationSans-Regular.ttf";
constexpr std::string_view boldFace = "fonts/LiberationSans-Bold.ttf";

FT_Face loadFace(bool bold) {
  static FT_Library library = nullptr;
  static FT_Face faces[2] = {nullptr, nullptr};
  if (!library && FT_Init_FreeType(&library) != 0) return nullptr;
  FT_Face& face = faces[bold ? 1 : 0];
  if (!face) {
    std::string_view bytes = platform::embeddedFile(bold ? boldFace : regularFace);
    if (bytes.empty() || FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(bytes.data()),
                                            FT_Long(bytes.size()), 0, &face) != 0)
      face = nullptr;
  }
  return face;
}

struct Metrics {
  FT_Face face = nullptr;
  int ascent = 0;
  int descent = 0;
  bool antialiased = true;
};

// Sizes the face for the font and works out the cell, the way GDI maps a LOGFONT height.
Metrics prepare(const Font& font) {
  Metrics m;
  m.face = loadFace(font.logFont.lfWeight >= FW_SEMIBOLD);
  if (!m.face) return m;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(m.face, FT_SFNT_OS2));
  double em = m.face->units_per_EM;
  double winAscent = os2 ? os2->usWinAscent : m.face->ascender;
  double winDescent = os2 ? os2->usWinDescent : -m.face->descender;
  int height = font.logFont.lfHeight == 0 ? 16 : font.logFont.lfHeight;
  int ppem;
  if (height > 0) {
    // The largest em size whose rounded ascent and descent still fit in the cell.
    ppem = int(std::lround(em * height / (winAscent + winDescent)));
    while (ppem > 1 &&
           std::lround(winAscent * ppem / em) + std::lround(winDescent * ppem / em) > height)
      --ppem;
    m.ascent = int(std::lround(winAscent * height / (winAscent + winDescent)));
    m.descent = height - m.ascent;
  } else {
    ppem = -height;
    m.ascent = int(std::lround(winAscent * ppem / em));
    m.descent = int(std::lround(winDescent * ppem / em));
  }
  FT_Set_Pixel_Sizes(m.face, 0, FT_UInt(std::max(ppem, 1)));
  // Font smoothing is off on a fresh system, so only fonts that ask for it are anti-aliased.
  m.antialiased = font.logFont.lfQuality == ANTIALIASED_QUALITY || font.logFont.lfQuality == 5;
  return m;
}

// Windows-1252 to Unicode for the 0x80..0x9F block; the rest is Latin-1.
FT_ULong unicodeOf(unsigned char c) {
  static const uint16_t block[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  return c >= 0x80 && c < 0xA0 ? block[c - 0x80] : c;
}

// The text's extent (the cell, and with it the anchoring) is measured with the advances of the
// normally hinted outline; the glyphs themselves are drawn at their own hinted advances. In
// black and white they are hinted for monochrome, as a system without font smoothing draws
// them, so right-aligned monochrome ink may end a pixel or two short of the anchor.
bool loadGlyph(const Metrics& m, unsigned char c, bool render) {
  FT_Int32 target = render && !m.antialiased ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
  if (FT_Load_Char(m.face, unicodeOf(c), target) != 0) return false;
  if (!render) return true;
  return FT_Render_Glyph(m.face->glyph,
                         m.antialiased ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) == 0;
}

int advance(const Metrics& m, unsigned char c) {
  return loadGlyph(m, c, false) ? int((m.face->glyph->advance.x + 32) >> 6) : 0;
}

int textWidth(const Metrics& m, const char* text, int length) {
  int width = 0;
  for (int i = 0; i < length; ++i) width += advance(m, (unsigned char)text[i]);
  return width;
}

COLORREF blend(COLORREF under, COLORREF over, int coverage) {
  auto mix = [coverage](int a, int b) { return (a * (255 - coverage) + b * coverage + 127) / 255; };
  return RGB(mix(GetRValue(under), GetRValue(over)), mix(GetGValue(under), GetGValue(over)),
             mix(GetBValue(under), GetBValue(over)));
}

void drawGlyph(DeviceContext& dc, const FT_Bitmap& bitmap, int left, int top, COLORREF color) {
  Surface* surface = targetSurface(dc);
  if (!surface) return;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const unsigned char* line = bitmap.buffer + int(row) * bitmap.pitch;
    for (unsigned col = 0; col < bitmap.width; ++col) {
      int coverage = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                         ? ((line[col / 8] >> (7 - col % 8)) & 1) * 255
                         : line[col];
      int x = left + int(col), y = top + int(row);
      if (coverage == 0 || !surface->inside(x, y)) continue;
      putPixel(dc, x, y, blend(surface->at(x, y), color, coverage));
    }
  }
}

}  // namespace

extern "C" {

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName) {
  auto font = std::make_unique<Font>();
  LOGFONTA& f = font->logFont;
  f.lfHeight = height;
  f.lfWidth = width;
  f.lfEscapement = escapement;
  f.lfOrientation = orientation;
  f.lfWeight = weight;
  f.lfItalic = BYTE(italic);
  f.lfUnderline = BYTE(underline);
  f.lfStrikeOut = BYTE(strikeOut);
  f.lfCharSet = BYTE(charSet);
  f.lfOutPrecision = BYTE(outPrecision);
  f.lfClipPrecision = BYTE(clipPrecision);
  f.lfQuality = BYTE(quality);
  f.lfPitchAndFamily = BYTE(pitchAndFamily);
  if (faceName) std::strncpy(f.lfFaceName, faceName, LF_FACESIZE - 1);
  return reinterpret_cast<HFONT>(registerObject(std::move(font)));
}

BOOL GetTextExtentPoint32A(HDC handle, LPCSTR text, int length, LPSIZE size) {
  DeviceContext* dc = findContext(handle);
  if (!dc || !size || (!text && length > 0) || length < 0) return FALSE;
  Metrics m = prepare(*dc->font);
  if (!m.face) return FALSE;
  *size = SIZE{textWidth(m, text, length), m.ascent + m.descent};
  return TRUE;
}

BOOL TextOutA(HDC handle, int x, int y, LPCSTR text, int length) {
  DeviceContext* dc = findContext(handle);
  if (!dc || (!text && length > 0) || length < 0) return FALSE;
  Metrics m = prepare(*dc->font);
  if (!m.face) return FALSE;
  bool updateCp = (dc->textAlign & TA_UPDATECP) != 0;
  if (updateCp) x = dc->position.x, y = dc->position.y;
  int width = textWidth(m, text, length);
  UINT horizontal = dc->textAlign & TA_CENTER, vertical = dc->textAlign & TA_BASELINE;
  int left = horizontal == TA_RIGHT ? x - width : horizontal == TA_CENTER ? x - width / 2 : x;
  int top = vertical == TA_BASELINE ? y - m.ascent
            : vertical == TA_BOTTOM ? y - m.ascent - m.descent
                                    : y;
  if (dc->backgroundMode == OPAQUE)
    fillRect(*dc, RECT{left, top, left + width, top + m.ascent + m.descent}, dc->backgroundColor);
  int penX = left, baseline = top + m.ascent;
  for (int i = 0; i < length; ++i) {
    if (loadGlyph(m, (unsigned char)text[i], true)) {
      FT_GlyphSlot g = m.face->glyph;
      drawGlyph(*dc, g->bitmap, penX + g->bitmap_left, baseline - g->bitmap_top, dc->textColor);
      penX += int((g->advance.x + 32) >> 6);
    }
  }
  if (updateCp) dc->position.x = horizontal == TA_RIGHT ? left : left + width;
  return TRUE;
}

}  // extern "C"
