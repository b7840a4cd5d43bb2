// The help pages: their text, read from resources/help_pages.txt, and their drawing.
//
// The text format is small on purpose, so the pages can be written as plain prose:
//   "# Title" starts a page;
//   lines up to the next blank line form a paragraph;
//   "- " starts a list item (until a blank line or the next item);
//   "**words**" anywhere in a paragraph or item is set in bold.
// A page is drawn at 460 x 350 with its title band, its text and, in the lower right corner,
// the navigation marks under the help window's three click areas. Drawing fails with a
// message when the text does not fit on its page, so nothing is cut off unnoticed.
#pragma once

#include <string>
#include <vector>

#include "resources/artwork/canvas.h"
#include "resources/artwork/text.h"

namespace artwork {

struct HelpBlock {
  bool listItem = false;
  std::string text;  // with "**" marking bold runs
};

struct HelpPage {
  std::string title;
  std::vector<HelpBlock> blocks;
};

// Text before the first "# " line is an error, as is a page without title or text.
bool parseHelpText(const std::string& text, std::vector<HelpPage>& pages, std::string& error);

// number is 1-based; count is the number of pages (the first page has no "back" mark lit,
// the last no "forward" mark).
bool drawHelpPage(const Fonts& fonts, const HelpPage& page, int number, int count, Canvas& out,
                  std::string& error);

}  // namespace artwork
