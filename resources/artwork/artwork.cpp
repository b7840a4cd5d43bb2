#include "resources/artwork/artwork.h"

#include <cctype>
#include <fstream>
#include <functional>
#include <sstream>

#include "resources/artwork/bitmap_file.h"
#include "resources/artwork/help_pages.h"
#include "resources/artwork/pictures.h"

namespace artwork {

namespace {

struct Entry {
  std::string name;
  int bitsPerPixel;
  std::function<Canvas()> draw;
};

std::string fileFor(const std::string& name) {
  std::string file = "bitmaps/";
  for (char c : name) file += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return file + ".bmp";
}

void addButtons(std::vector<Entry>& entries, const Fonts& fonts) {
  struct Button {
    const char* name;
    const char* label;
    int width, height, bitsPerPixel;
    ButtonKind kind;
  };
  const Button buttons[] = {{"OK", "OK", 39, 23, 8, ButtonKind::Primary},
                            {"CANCEL", "Cancel", 79, 23, 8, ButtonKind::Plain},
                            {"SAVE", "Save", 37, 18, 4, ButtonKind::Plain},
                            {"LOAD", "Load", 37, 18, 8, ButtonKind::Plain},
                            {"HELP", "Help", 37, 18, 8, ButtonKind::Plain}};
  for (const Button& b : buttons) {
    const std::string name = std::string(b.name) + "_BUTTON";
    entries.push_back({name, b.bitsPerPixel, [&fonts, b] {
                         return drawButton(fonts, b.width, b.height, b.label, b.kind, false);
                       }});
    entries.push_back({"PRESSED_" + name, 24, [&fonts, b] {
                         return drawButton(fonts, b.width, b.height, b.label, b.kind, true);
                       }});
  }
  entries.push_back({"ENTE_BUTTON", 8, [&fonts] { return drawAccelerationToggle(fonts, false); }});
  entries.push_back(
      {"FAST_ENTE_BUTTON", 24, [&fonts] { return drawAccelerationToggle(fonts, true); }});
}

void addStepPictures(std::vector<Entry>& entries, const Fonts& fonts) {
  for (bool pressed : {false, true}) {
    const std::string state = pressed ? "DOWN" : "UP";
    for (int step = 1; step <= kProfileSteps; ++step) {
      entries.push_back(
          {"FILTER_BUTTON" + state + "_BITMAP" + std::to_string(step), 8,
           [&fonts, step, pressed] { return drawProfilePicture(fonts, step, pressed); }});
    }
    for (int step = 1; step <= kEyeDistanceSteps; ++step) {
      entries.push_back(
          {"FILTER_BUTTON" + state + "2_BITMAP" + std::to_string(step), 4,
           [&fonts, step, pressed] { return drawEyeDistancePicture(fonts, step, pressed); }});
    }
  }
}

bool readFile(const std::string& path, std::string& text, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::ostringstream contents;
  contents << in.rdbuf();
  text = contents.str();
  return true;
}

bool addHelpPages(std::vector<RenderedBitmap>& out, const Fonts& fonts,
                  const std::string& helpTextPath, std::string& error) {
  std::string text;
  std::vector<HelpPage> pages;
  if (!readFile(helpTextPath, text, error) || !parseHelpText(text, pages, error)) return false;
  const int count = static_cast<int>(pages.size());
  for (int number = 1; number <= count; ++number) {
    Canvas canvas(1, 1, {});
    if (!drawHelpPage(fonts, pages[number - 1], number, count, canvas, error)) return false;
    const std::string name = "FILTER_HELP_BITMAP" + std::to_string(number);
    out.push_back(
        {name, fileFor(name), canvas.width(), canvas.height(), 4, encodeBitmap(canvas, 4)});
  }
  return true;
}

}  // namespace

bool renderArtwork(const ArtworkSources& sources, std::vector<RenderedBitmap>& out,
                   std::string& error) {
  out.clear();
  const Fonts fonts(sources.fontDirectory);
  if (!fonts.ok()) {
    error = fonts.error();
    return false;
  }
  std::vector<Entry> entries;
  entries.push_back({"FILTER_MAIN_BITMAP", 8, [&fonts] { return drawDialogBackground(fonts); }});
  addButtons(entries, fonts);
  addStepPictures(entries, fonts);
  entries.push_back({"ABOUT_BITMAP", 24, [&fonts] { return drawAboutPicture(fonts); }});
  for (const Entry& entry : entries) {
    const Canvas canvas = entry.draw();
    out.push_back({entry.name, fileFor(entry.name), canvas.width(), canvas.height(),
                   entry.bitsPerPixel, encodeBitmap(canvas, entry.bitsPerPixel)});
  }
  return addHelpPages(out, fonts, sources.helpTextPath, error);
}

std::string bitmapScript(const std::vector<RenderedBitmap>& bitmaps) {
  std::string script;
  for (const RenderedBitmap& b : bitmaps) script += b.name + " BITMAP \"" + b.file + "\"\n";
  return script;
}

}  // namespace artwork
