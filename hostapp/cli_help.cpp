#include "hostapp/cli_help.h"

#include <string>

#include "core/persisted_settings.h"
#include "core/print_size.h"
#include "hostapp/version.h"

namespace {

// The entries of a list as index and quoted name, as running text after `line` (which ends
// in the description column, 21), wrapped at 90 columns.
std::string listEntries(std::string line, const char* const names[]) {
  std::string text;
  for (int index = 0; names[index] != nullptr; ++index) {
    const std::string entry = std::to_string(index) + " \"" + names[index] + "\"" +
                              (names[index + 1] != nullptr ? "," : "");
    if (line.size() + 1 + entry.size() > 90) {
      text += line + "\n";
      line = std::string(20, ' ');
    }
    line += " " + entry;
  }
  return text + line + "\n";
}

const char kIntroduction[] =
    "Sharpens photographs for printing on inkjet printers. Instead of sharpening numbers you\n"
    "describe the print: its size, the printer, where the picture came from and how good it is,\n"
    "how far away it will be seen and how strong you like the result. Inkjet works out the\n"
    "sharpening radius and strength from that, exactly as the Inkjet filter does in an editor.\n"
    "\n"
    "Commands:\n"
#ifndef _WIN32
    "  inkjet sharpen INPUT OUTPUT [options]   sharpen INPUT into OUTPUT; OUTPUT is written\n"
    "                                          whole or not at all, INPUT is never changed\n"
    "  inkjet sharpen INPUT... -o DIR [options]\n"
    "                                          each INPUT into the folder DIR under its\n"
    "                                          own name; --suffix TEXT before the extension,\n"
    "                                          --format EXT, -j/--jobs N at once (default:\n"
    "                                          the cores); one failure stops no other\n"
    "  inkjet dialog INPUT OUTPUT [options]    the filter's own dialog in a desktop window\n"
    "                                          (X11), starting from the options; OK sharpens\n"
    "                                          into OUTPUT and prints the settings used as\n"
    "                                          options\n"
    "  inkjet report INPUT... [options] [--json]\n"
    "                                          what sharpen would do with these options, file\n"
    "                                          after file; writes nothing\n"
    "  inkjet --help                           this text\n"
    "  inkjet --version                        the version\n"
#else
    "  inkjet-host.exe sharpen INPUT OUTPUT [options]   sharpen INPUT into OUTPUT with\n"
    "                                                   Inkjet.8bf; OUTPUT is written whole\n"
    "                                                   or not at all\n"
#endif
    "\n";

const char kPrintSize[] =
    "Options go before or after the files (a \"--\" ends them); --name=value works too.\n"
    "\n"
    "Print size, of the picture as displayed:\n"
    "  -w, --print-width L   print width: a number with an optional unit, mm (default), cm,\n"
    "                        in or \" (297, 297.5mm, 29.7cm, 11.7in)\n"
    "  -H, --print-height L  print height, the same way\n"
    "  -p, --paper NAME      fit the picture inside a paper, turned its own way: A0..A6,\n"
    "                        B0..B6, letter, legal, tabloid or WxH with a unit (10x15cm,\n"
    "                        13x18cm, 8x10in, 13x19in)\n"
    "  --border L            empty margin on every edge of the --paper (default 0)\n"
    "  --resolution PPI      the image's resolution when the file carries none (default 72)\n"
    "Without a size, the print is the image at its resolution. With one side, the other\n"
    "follows the picture (a whole number of millimetres gives a whole one, rounded down).\n"
    "A bare number below 10, or a size that gives an absurd resolution, draws a warning.\n"
    "A print above ";

const char kPrintSizeCap[] =
    " mm on either side is reduced in proportion to fit, with a\n"
    "warning; unless --eye-distance is given, the eye distance is the one the filter\n"
    "chooses for the size asked for.\n"
    "\n"
    "Print settings: a number, or the name as listed, in any letter case or by a unique\n"
    "beginning (\"1440x720\" for \"1440x720 dpi\"). Settings you leave out take the\n"
    "filter's defaults for the image (inkjet report shows them); --settings comes first,\n"
    "single options override it. No option may be given twice.\n";

// What each setting is, in the help's order; its option, range and list texts are the
// settings table's.
struct SettingHelp {
  int32 SharpenSettings::*field;
  const char* meaning;
  const char* steps;  // what the steps of a setting without a list go from and to
};

constexpr SettingHelp kSettingHelp[] = {
    {&SharpenSettings::printerResolution, "printer resolution", ""},
    {&SharpenSettings::printerQuality, "the printer's quality setting", ""},
    {&SharpenSettings::imageSource, "where the image came from", ""},
    {&SharpenSettings::imageQuality, "how good the image is", ""},
    {&SharpenSettings::eyeDistance, "viewing distance", " (close to far away)"},
    {&SharpenSettings::personalProfile, "personal profile", " (softer, conventional, progressive)"},
};

std::string settingLines() {
  std::string text;
  for (const SettingHelp& help : kSettingHelp) {
    const PersistedSetting& setting = persistedSetting(help.field);
    std::string line =
        std::string("  ") + setting.option + (setting.names != nullptr ? " X" : " N");
    line.append(line.size() < 19 ? 21 - line.size() : 2, ' ');
    line += help.meaning;
    const PersistedSetting* sameList = nullptr;
    for (const SettingHelp& earlier : kSettingHelp) {
      if (&earlier == &help) break;
      if (setting.names != nullptr && persistedSetting(earlier.field).names == setting.names) {
        sameList = &persistedSetting(earlier.field);
      }
    }
    const std::string range =
        std::to_string(setting.lowest) + ".." + std::to_string(setting.highest);
    if (setting.names == nullptr) {
      text += line + ", " + range + help.steps + "\n";
    } else if (sameList != nullptr) {
      text += line + ", " + range + " as for " + sameList->option + "\n";
    } else {
      text += listEntries(line + ":", setting.names);
    }
  }
  return text;
}

const char kSteps[] =
    "  --settings FILE    the six settings from a settings file saved by the filter's dialog\n"
    "\n";

const char kOutput[] =
    "Output and run:\n"
    "  --jpeg-quality Q   JPEG quality of a .jpg/.jpeg OUTPUT, 1..100 (default: the\n"
    "                     quality of a JPEG INPUT, estimated from its tables; else 95)\n"
    "  --jpeg-subsampling S  chroma subsampling of a JPEG OUTPUT: 444, 422 or 420\n"
    "                     (default: that of a JPEG INPUT; else 444)\n"
    "  --max-pixels N     refuse an INPUT of more than N pixels (default 268435456, a\n"
    "                     16384x16384 picture; at most 32767x32767)\n"
    "  --color-engine E   lcms (default): colour conversions by LittleCMS with the file's\n"
    "                     ICC profile; formula: the Windows filter's own formulas, output\n"
    "                     identical to inkjet-host.exe\n"
    "  --threads N        threads the filter splits each tile across, 1..64 (default: the\n"
    "                     cores; with --jobs, the cores shared among the jobs); the output\n"
    "                     is the same for every count\n"
    "  -q, --quiet        no progress bar and no summary line; warnings are still shown\n"
    "                     (the bar appears only when stderr is a terminal)\n"
    "  --silent           nothing on stderr but errors\n"
    "  --stats            count the filter's colour and tile calls, on stderr\n"
    "  --json             (report) one JSON object with the settings, the print model,\n"
    "                     the status lines and the warnings; for several files an array\n"
    "                     of them; an error is an object {\"input\", \"error\", \"exitCode\"}\n"
    "  --status-lines     (report) the filter's four status lines as it shows them\n"
    "sharpen writes one line on stderr: the print size, its ppi, the radius in pixels and\n"
    "millimetres, the strength and the Real Resolution Index with its verdict; then each\n"
    "warning on a line of its own.\n"
    "\n"
    "Files, chosen by extension (any letter case); OUTPUT keeps INPUT's colour mode,\n"
    "resolution and ICC profile"
#ifndef _WIN32
    ", and its EXIF, IPTC and XMP metadata wherever the OUTPUT\n"
    "format holds them (the EXIF thumbnail is dropped, pixel sizes and resolution are made\n"
    "true). The pixels keep their stored order and the EXIF orientation stays, so OUTPUT\n"
    "displays as INPUT did; print sizes are of the picture as displayed"
#endif
    ".\n"
    "OUTPUT must not be INPUT (through any path or link: exit 2). An OUTPUT that is a\n"
    "symbolic link has its target replaced, as cp does; a replaced file keeps its\n"
    "permissions.\n"
#ifndef _WIN32
    "  .tif .tiff         grayscale, RGB, CMYK, Lab, with or without transparency\n"
    "  .png               grayscale, RGB, with or without transparency (palettes become RGB)\n"
    "  .jpg .jpeg         grayscale, RGB, CMYK\n"
#endif
    "  .bmp               grayscale, RGB, RGB with transparency\n"
    "  .pnm .ppm .pgm     grayscale (.pgm), RGB (.ppm), either (.pnm); no resolution\n"
    "  .pam               grayscale, RGB, CMYK, with or without transparency; no resolution\n"
#ifndef _WIN32
    "16-bit TIFF (grayscale, RGB, CMYK) and PNG files are sharpened through their 8-bit\n"
    "view and saved at 16 bits: OUTPUT = INPUT + 257 x (sharpened 8-bit - INPUT's 8-bit\n"
    "view), clamped, so samples the filter leaves alone keep every bit. Other formats\n"
    "are 8 bits per channel. A TIFF keeps its compression; one of several pages is\n"
    "refused. Images are at most 32767 pixels on a side.\n"
#else
    "Images are 8 bits per channel (16-bit files are refused) and at most 32767 pixels\n"
    "on a side.\n"
#endif
    "\n";

const char kExamples[] =
    "Examples:\n"
#ifndef _WIN32
    "  inkjet sharpen photo.png photo-a4.png --print-width 29.7cm --printer 1440x720\n"
    "      a PNG for an A4 print (297 mm wide) on a 1440x720 dpi printer\n"
    "  inkjet sharpen photo.jpg photo-a4.jpg --paper A4 --border 5mm\n"
    "      the largest print that fits on A4 paper with a 5 mm border\n"
    "  inkjet sharpen proof.tif proof-sharp.tif --print-width 400 --printer-quality good\n"
    "      a CMYK TIFF for a 40 cm wide print on good paper\n"
    "  inkjet sharpen in/*.jpg -o prints --suffix -a4 --paper A4 --jobs 2\n"
    "      each photograph of in/ for A4 paper, into prints/ as NAME-a4.jpg, two at a time\n"
    "  inkjet report photo.jpg --print-width 254 --source \"Digital Camera (mid range)\" --json\n"
    "      what the filter will do for a 254 mm print from a mid-range camera, as JSON\n"
    "  inkjet report *.jpg --paper 13x18cm --json\n"
    "      the same for several files, as a JSON array\n"
#else
    "  inkjet-host.exe sharpen photo.ppm photo-a4.ppm --print-width 297 --printer \"1440x720 "
    "dpi\"\n"
#endif
    "\n"
    "Exit codes:\n"
    "  0  done\n"
    "  1  a file could not be read or written (missing, truncated, corrupt, an unsupported\n"
    "     mode or depth, over 32767 pixels) or the filter reported an error\n"
    "  2  the command line is wrong (unknown option, value out of range, an OUTPUT format\n"
    "     that cannot hold the image); nothing was written\n"
    "Errors are one line on stderr beginning \"inkjet:\". No OUTPUT is left behind on failure.\n";

}  // namespace

std::string cliHelpText() {
  std::string text = std::string("inkjet ") + inkjetVersion() + "\n" + kIntroduction + kPrintSize +
                     std::to_string(kMaxPrintMillimetres) + kPrintSizeCap;
  return text + settingLines() + kSteps + kOutput + kExamples;
}
