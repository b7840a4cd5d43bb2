#include "resources/artwork/help_pages.h"

#include <sstream>

#include "resources/artwork/layout.h"
#include "resources/artwork/theme.h"

namespace artwork {

namespace {

constexpr int kMargin = 20;
constexpr int kBandHeight = 38;
constexpr int kTextTop = 60;      // first baseline
constexpr int kTextBottom = 310;  // no baseline below this
constexpr int kFooterLine = 316;
constexpr int kLineHeight = 16;
constexpr int kParagraphGap = 6;
constexpr int kListIndent = 14;

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

bool fail(std::string& error, const std::string& why) {
  error = why;
  return false;
}

// Adds one line of the text file to the page being read.
void addLine(HelpPage& page, const std::string& line, bool& inBlock) {
  if (line.empty()) {
    inBlock = false;
  } else if (startsWith(line, "- ")) {
    page.blocks.push_back({true, line.substr(2)});
    inBlock = true;
  } else if (inBlock) {
    page.blocks.back().text += " " + line;
  } else {
    page.blocks.push_back({false, line});
    inBlock = true;
  }
}

struct Word {
  std::string text;
  bool bold;
  bool spaceAfter;
};

// Splits a block into words, each knowing whether it is inside a "**" run. A bold run that
// ends inside a word ("**Scan:**" followed by a comma) splits it into two pieces with no
// space between them.
std::vector<Word> wordsOf(const std::string& text) {
  std::vector<Word> words;
  bool bold = false;
  std::string current;
  auto flush = [&](bool spaceAfter) {
    if (!current.empty()) words.push_back({current, bold, spaceAfter});
    current.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "**") == 0) {
      flush(false);
      bold = !bold;
      ++i;
    } else if (text[i] == ' ') {
      if (current.empty() && !words.empty()) words.back().spaceAfter = true;
      flush(true);
    } else {
      current += text[i];
    }
  }
  flush(true);
  return words;
}

TextStyle bodyStyle(bool bold) {
  return {bold ? Weight::Bold : Weight::Regular, theme::kBodySize,
          bold ? theme::kInk : theme::kGrey1};
}

// Lays out and, when `canvas` is given, draws one block starting at baseline y; returns the
// baseline after its last line.
int layBlock(const Fonts& fonts, Canvas* canvas, const HelpBlock& block, int y) {
  const int left = kMargin + (block.listItem ? kListIndent : 0);
  const int right = layout::kHelpWidth - kMargin;
  const int space = fonts.measure(" ", bodyStyle(false));
  if (block.listItem && canvas) {
    canvas->fill(ellipseRegion(kMargin + 4.5, y - 4, 2, 2), kMargin, y - 8, 9, 8, theme::kAccent);
  }
  int x = left;
  bool breakable = false;  // a line may break only where the text has a space
  for (const Word& word : wordsOf(block.text)) {
    const int width = fonts.measure(word.text, bodyStyle(word.bold));
    if (breakable && x + width > right) {
      x = left;
      y += kLineHeight;
    }
    if (canvas) fonts.draw(*canvas, x, y, word.text, bodyStyle(word.bold));
    x += width + (word.spaceAfter ? space : 0);
    breakable = word.spaceAfter;
  }
  return y + kLineHeight;
}

void drawFrame(const Fonts& fonts, Canvas& canvas, const HelpPage& page) {
  canvas.fillRect(0, 0, canvas.width(), kBandHeight, theme::kSlate);
  fonts.draw(canvas, kMargin, 25, page.title, {Weight::Bold, 15, theme::kPaper});
  const TextStyle brand{Weight::Regular, 11, theme::kSlateLight};
  fonts.draw(canvas, canvas.width() - kMargin - fonts.measure("Inkjet Help", brand), 24,
             "Inkjet Help", brand);
  canvas.horizontalLine(kMargin, canvas.width() - kMargin, kFooterLine, theme::kGrey5);
  canvas.frameRect(0, 0, canvas.width(), canvas.height(), theme::kSlate);
}

// The back triangle, the closing dot and the forward triangle, centred in their click areas.
void drawNavigation(const Fonts& fonts, Canvas& canvas, int number, int count) {
  using layout::Box;
  const Box& back = layout::kHelpPrevious;
  const Box& close = layout::kHelpClose;
  const Box& next = layout::kHelpNext;
  const double cy = back.y + back.h / 2.0;
  const double bx = back.x + back.w / 2.0, nx = next.x + next.w / 2.0;
  canvas.fill(polygonRegion({{bx - 5, cy}, {bx + 4, cy - 6}, {bx + 4, cy + 6}}), back.x, back.y,
              back.w, back.h, number > 1 ? theme::kSlate : theme::kGrey4);
  canvas.fill(ellipseRegion(close.x + close.w / 2.0, cy, 3.5, 3.5), close.x, close.y, close.w,
              close.h, theme::kRed);
  canvas.fill(polygonRegion({{nx + 5, cy}, {nx - 4, cy - 6}, {nx - 4, cy + 6}}), next.x, next.y,
              next.w, next.h, number < count ? theme::kSlate : theme::kGrey4);
  const std::string label = "Page " + std::to_string(number) + " of " + std::to_string(count);
  fonts.draw(canvas, kMargin, static_cast<int>(cy) + 4, label,
             {Weight::Regular, 11, theme::kGrey2});
}

}  // namespace

bool parseHelpText(const std::string& text, std::vector<HelpPage>& pages, std::string& error) {
  pages.clear();
  std::istringstream lines(text);
  std::string line;
  bool inBlock = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (startsWith(line, "# ")) {
      pages.push_back({line.substr(2), {}});
      inBlock = false;
    } else if (pages.empty()) {
      if (!line.empty()) return fail(error, "help text before the first page title: " + line);
    } else {
      addLine(pages.back(), line, inBlock);
    }
  }
  for (const HelpPage& page : pages) {
    if (page.title.empty() || page.blocks.empty())
      return fail(error, "help page without title or text");
  }
  return pages.empty() ? fail(error, "no help pages") : true;
}

bool drawHelpPage(const Fonts& fonts, const HelpPage& page, int number, int count, Canvas& out,
                  std::string& error) {
  Canvas canvas(layout::kHelpWidth, layout::kHelpHeight, theme::kPaper);
  int y = kTextTop;
  for (const HelpBlock& block : page.blocks) y = layBlock(fonts, nullptr, block, y) + kParagraphGap;
  const int lastBaseline = y - kParagraphGap - kLineHeight;
  if (lastBaseline > kTextBottom) {
    return fail(error, "help page " + std::to_string(number) + " (" + page.title + ") is " +
                           std::to_string(lastBaseline - kTextBottom) + " pixels too long");
  }
  y = kTextTop;
  for (const HelpBlock& block : page.blocks) y = layBlock(fonts, &canvas, block, y) + kParagraphGap;
  drawFrame(fonts, canvas, page);
  drawNavigation(fonts, canvas, number, count);
  out = std::move(canvas);
  return true;
}

}  // namespace artwork
