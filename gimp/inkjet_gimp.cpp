// inkjet-gimp: the filter as a GIMP 2.10 plug-in. GIMP starts this program for each call; it
// hosts the module's code, linked in, through its entry point exactly as the command-line tool
// does (hostapp/filter_run.h), on the drawable's pixels. The dialog is the module's own, shown
// by the X11 presenter over GIMP's window.
//
// The document is the drawable: its pixels as 8-bit R'G'B'(A) or Y'(A), the image's resolution
// (or the one that gives the requested print size), the selection as the filter area and its
// mask. 8-bit images are written back as the filter left them; higher precisions get the
// filter's change carried over (gimp/precision.h), so untouched pixels keep their values.
// The six settings of the last OK survive a restart in a persistent parasite.
#include <libgimp/gimp.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "gimp/host_window.h"
#include "core/persisted_settings.h"
#include "gimp/precision.h"
#include "host/entry_point.h"
#include "hostapi/constants.h"
#include "hostapp/color_engine.h"
#include "hostapp/filter_run.h"
#include "hostapp/print_resolution.h"
#include "hostapp/x11/x11_presenter.h"

namespace {

constexpr char kProcedure[] = "plug-in-inkjet";
constexpr char kParasite[] = "inkjet-last-settings";
constexpr int kSettings = kPersistedSettingCount;

struct Settings {
  int32 values[kSettings] = {};
  bool given[kSettings] = {};
  double printWidth = 0;  // mm; 0: from the resolution, or following the other side
  double printHeight = 0;
};

struct Failure {
  GimpPDBStatusType status;
  std::string message;
};

// Procedure arguments after run-mode, image and drawable: (name, lowest, highest, default),
// in the order GIMP passes them, and the persisted slot each fills.
struct ListArgument {
  const char* name;
  const char* blurb;
  int slot;
  int lowest;
  int highest;
  int unset;
};
constexpr ListArgument kListArguments[] = {
    {"printer", "Printer resolution 0..11, -1: the filter's default", 3, 0, 11, -1},
    {"printer-quality", "Printer quality 0..4, -1: the filter's default", 2, 0, 4, -1},
    {"source", "Image source 0..9, -1: the filter's default", 5, 0, 9, -1},
    {"image-quality", "Image quality 0..4, -1: the filter's default", 4, 0, 4, -1},
    {"eye-distance", "Eye distance 1..5, 0: the filter's default", 1, 1, 5, 0},
    {"profile", "Personal profile 1..3, 0: the filter's default", 0, 1, 3, 0},
};
constexpr int kFixedArguments = 5;  // run-mode, image, drawable, print-width, print-height

void query() {
  static const GimpParamDef arguments[] = {
      {GIMP_PDB_INT32, const_cast<gchar*>("run-mode"), const_cast<gchar*>("The run mode")},
      {GIMP_PDB_IMAGE, const_cast<gchar*>("image"), const_cast<gchar*>("Input image")},
      {GIMP_PDB_DRAWABLE, const_cast<gchar*>("drawable"), const_cast<gchar*>("Input drawable")},
      {GIMP_PDB_FLOAT, const_cast<gchar*>("print-width"),
       const_cast<gchar*>(
           "Print width in mm, 0: from the image's resolution or following the height")},
      {GIMP_PDB_FLOAT, const_cast<gchar*>("print-height"),
       const_cast<gchar*>(
           "Print height in mm, 0: from the image's resolution or following the width")},
      {GIMP_PDB_INT32, const_cast<gchar*>(kListArguments[0].name),
       const_cast<gchar*>(kListArguments[0].blurb)},
      {GIMP_PDB_INT32, const_cast<gchar*>(kListArguments[1].name),
       const_cast<gchar*>(kListArguments[1].blurb)},
      {GIMP_PDB_INT32, const_cast<gchar*>(kListArguments[2].name),
       const_cast<gchar*>(kListArguments[2].blurb)},
      {GIMP_PDB_INT32, const_cast<gchar*>(kListArguments[3].name),
       const_cast<gchar*>(kListArguments[3].blurb)},
      {GIMP_PDB_INT32, const_cast<gchar*>(kListArguments[4].name),
       const_cast<gchar*>(kListArguments[4].blurb)},
      {GIMP_PDB_INT32, const_cast<gchar*>(kListArguments[5].name),
       const_cast<gchar*>(kListArguments[5].blurb)},
  };
  gimp_install_procedure(kProcedure, "Sharpen a photograph for printing on an inkjet printer",
                         "Describe the print (size, printer, source, quality, viewing distance, "
                         "profile); Inkjet derives the sharpening from it.",
                         "Inkjet", "Inkjet", "2026", "Inkjet...", "RGB*, GRAY*", GIMP_PLUGIN,
                         G_N_ELEMENTS(arguments), 0, arguments, nullptr);
  gimp_plugin_menu_register(kProcedure, "<Image>/Filters/Enhance");
}

bool readArguments(gint count, const GimpParam* param, Settings* s, std::string* problem) {
  if (count != kFixedArguments + kSettings) {
    *problem = "Inkjet takes " + std::to_string(kFixedArguments + kSettings) + " arguments";
    return false;
  }
  s->printWidth = param[3].data.d_float;
  s->printHeight = param[4].data.d_float;
  if (!(s->printWidth >= 0) || !(s->printHeight >= 0)) {
    *problem = "print-width and print-height are millimetres, 0 or more";
    return false;
  }
  for (int i = 0; i < kSettings; ++i) {
    const ListArgument& a = kListArguments[i];
    int32 value = param[kFixedArguments + i].data.d_int32;
    if (value == a.unset) continue;
    if (value < a.lowest || value > a.highest) {
      *problem = std::string(a.name) + " must be " + std::to_string(a.lowest) + ".." +
                 std::to_string(a.highest) + " or " + std::to_string(a.unset);
      return false;
    }
    s->values[a.slot] = value;
    s->given[a.slot] = true;
  }
  return true;
}

// The six settings of the last OK, from the persistent parasite; false when there are none.
bool lastSettings(Settings* s) {
  GimpParasite* parasite = gimp_get_parasite(kParasite);
  if (!parasite) return false;
  std::string text(static_cast<const char*>(gimp_parasite_data(parasite)),
                   gimp_parasite_data_size(parasite));
  gimp_parasite_free(parasite);
  std::istringstream in(text);
  Settings read;
  for (int i = 0; i < kSettings; ++i) {
    if (!(in >> read.values[i])) return false;
    read.given[i] = true;
  }
  *s = read;
  return true;
}

void rememberSettings(const SharpenSettings& settings) {
  const int32* persisted = &settings.personalProfile;
  std::string text;
  for (int i = 0; i < kSettings; ++i) text += (i ? " " : "") + std::to_string(persisted[i]);
  GimpParasite* parasite =
      gimp_parasite_new(kParasite, GIMP_PARASITE_PERSISTENT, text.size(), text.data());
  gimp_attach_parasite(parasite);
  gimp_parasite_free(parasite);
}

// The document's resolution for the requested print size, as the command-line tool sets it.
bool describePrint(const Settings& s, DocumentDescription* d, double xres, double yres,
                   std::string* problem) {
  bool xKnown = fixedResolution(xres, &d->horizontalResolution);
  bool yKnown = fixedResolution(yres, &d->verticalResolution);
  int32 width = int32(std::lround(s.printWidth));
  int32 height = int32(std::lround(s.printHeight));
  if ((!xKnown || !yKnown) && width <= 0 && height <= 0) {
    *problem = "the image's resolution is beyond what the filter takes; give a print size";
    return false;
  }
  if (width > 0 && height <= 0) height = followingPrintSide(width, d->width, d->height);
  if (height > 0 && width <= 0) width = followingPrintSide(height, d->height, d->width);
  struct Side {
    int32 mm, pixels;
    Fixed* resolution;
  };
  for (Side side : {Side{width, d->width, &d->horizontalResolution},
                    Side{height, d->height, &d->verticalResolution}}) {
    if (side.mm <= 0) continue;
    if (resolutionForPrintSize(side.pixels, side.mm, side.resolution) !=
        PrintResolutionStatus::found) {
      *problem = "a print of " + std::to_string(side.mm) + " mm cannot be made from " +
                 std::to_string(side.pixels) + " pixels";
      return false;
    }
  }
  return true;
}

const Babl* formatOf(gint32 drawable, const char* type) {
  bool gray = gimp_drawable_is_gray(drawable);
  bool alpha = gimp_drawable_has_alpha(drawable);
  std::string name =
      std::string(gray ? (alpha ? "Y'A " : "Y' ") : (alpha ? "R'G'B'A " : "R'G'B' ")) + type;
  return babl_format(name.c_str());
}

struct Drawable {
  gint32 id = 0;
  int width = 0, height = 0;
  int channels = 0;
  bool eightBit = false;
};

std::vector<uint8> readBytes(gint32 drawable, const Babl* format, int width, int height) {
  GeglBuffer* buffer = gimp_drawable_get_buffer(drawable);
  std::vector<uint8> bytes(size_t(width) * size_t(height) *
                           size_t(babl_format_get_bytes_per_pixel(format)));
  GeglRectangle all = {0, 0, width, height};
  gegl_buffer_get(buffer, &all, 1.0, format, bytes.data(), GEGL_AUTO_ROWSTRIDE, GEGL_ABYSS_NONE);
  g_object_unref(buffer);
  return bytes;
}

// The selection over the drawable as one byte per pixel, and its bounds as the filter area;
// an empty mask when nothing is selected.
std::vector<uint8> selectionMask(gint32 image, const Drawable& d, Rect* area) {
  *area = Rect{0, 0, 0, 0};
  if (gimp_selection_is_empty(image)) return {};
  gint x, y, w, h, ox, oy;
  if (!gimp_drawable_mask_intersect(d.id, &x, &y, &w, &h)) return {};
  gimp_drawable_offsets(d.id, &ox, &oy);
  *area = Rect{int16(y), int16(x), int16(y + h), int16(x + w)};
  GeglBuffer* selection = gimp_drawable_get_buffer(gimp_image_get_selection(image));
  std::vector<uint8> mask(size_t(d.width) * size_t(d.height));
  GeglRectangle over = {ox, oy, d.width, d.height};
  gegl_buffer_get(selection, &over, 1.0, babl_format("Y u8"), mask.data(), GEGL_AUTO_ROWSTRIDE,
                  GEGL_ABYSS_NONE);
  g_object_unref(selection);
  return mask;
}

// The filter's 8-bit result into the drawable as one undo step. merge_shadow would apply the
// selection a second time, over the module's own masking: the selection is set aside for it.
void writeBack(gint32 image, const Drawable& d, const std::vector<uint8>& before,
               const std::vector<uint8>& after) {
  const Babl* format8 = formatOf(d.id, "u8");
  std::vector<uint8> native;
  const Babl* format = format8;
  const void* data = after.data();
  if (!d.eightBit) {
    format = gimp_drawable_get_format(d.id);
    std::vector<double> values(size_t(d.width) * size_t(d.height) * size_t(d.channels));
    const Babl* doubles = formatOf(d.id, "double");
    GeglBuffer* buffer = gimp_drawable_get_buffer(d.id);
    GeglRectangle all = {0, 0, d.width, d.height};
    gegl_buffer_get(buffer, &all, 1.0, doubles, values.data(), GEGL_AUTO_ROWSTRIDE,
                    GEGL_ABYSS_NONE);
    native = readBytes(d.id, format, d.width, d.height);
    g_object_unref(buffer);
    std::vector<uint8_t> changed;
    carryDifference(before.data(), after.data(), values.data(), size_t(d.width) * size_t(d.height),
                    d.channels, &changed);
    std::vector<uint8> converted(native.size());
    babl_process(babl_fish(doubles, format), values.data(), converted.data(), long(changed.size()));
    size_t pixelBytes = size_t(babl_format_get_bytes_per_pixel(format));
    for (size_t p = 0; p < changed.size(); ++p)
      if (changed[p]) std::copy_n(&converted[p * pixelBytes], pixelBytes, &native[p * pixelBytes]);
    data = native.data();
  }
  gimp_image_undo_group_start(image);
  gint32 saved = -1;
  if (!gimp_selection_is_empty(image)) {
    saved = gimp_selection_save(image);
    gimp_selection_none(image);
  }
  GeglBuffer* shadow = gimp_drawable_get_shadow_buffer(d.id);
  GeglRectangle all = {0, 0, d.width, d.height};
  gegl_buffer_set(shadow, &all, 0, format, data, GEGL_AUTO_ROWSTRIDE);
  gegl_buffer_flush(shadow);
  g_object_unref(shadow);
  gimp_drawable_merge_shadow(d.id, TRUE);
  if (saved != -1) {
    gimp_image_select_item(image, GIMP_CHANNEL_OP_REPLACE, saved);
    gimp_image_remove_channel(image, saved);
  }
  gimp_image_undo_group_end(image);
  gimp_drawable_update(d.id, 0, 0, d.width, d.height);
}

std::vector<uint8> documentProfile(gint32 image) {
  std::vector<uint8> bytes;
  GimpColorProfile* profile = gimp_image_get_color_profile(image);
  if (!profile) return bytes;
  gsize length = 0;
  const guint8* data = gimp_color_profile_get_icc_profile(profile, &length);
  bytes.assign(data, data + length);
  g_object_unref(profile);
  return bytes;
}

// One run of the filter on the drawable; with the dialog when `interactive`.
Failure filter(gint32 image, gint32 drawableId, const Settings& settings, bool interactive) {
  Drawable d;
  d.id = drawableId;
  d.width = gimp_drawable_width(drawableId);
  d.height = gimp_drawable_height(drawableId);
  d.channels =
      (gimp_drawable_is_gray(drawableId) ? 1 : 3) + (gimp_drawable_has_alpha(drawableId) ? 1 : 0);
  GimpPrecision precision = gimp_image_get_precision(image);
  d.eightBit = precision == GIMP_PRECISION_U8_GAMMA;
  if (d.width > 32767 || d.height > 32767)
    return {GIMP_PDB_EXECUTION_ERROR, "Inkjet takes layers up to 32767 pixels on a side"};

  PixelDocument document;
  DocumentDescription& desc = document.description;
  desc.width = d.width;
  desc.height = d.height;
  desc.mode = gimp_drawable_is_gray(drawableId) ? plugInModeGrayScale : plugInModeRGBColor;
  desc.extraPlanes = gimp_drawable_has_alpha(drawableId) ? 1 : 0;
  double xres = 72, yres = 72;
  gimp_image_get_resolution(image, &xres, &yres);
  std::string problem;
  if (!describePrint(settings, &desc, xres, yres, &problem))
    return {GIMP_PDB_CALLING_ERROR, problem};

  HostServices services;
  services.selectionMask = selectionMask(image, d, &desc.filterRect);
  std::unique_ptr<ColorEngine> colors =
      makeLcmsColorEngine(documentProfile(image), desc.mode, &problem);
  if (!colors) return {GIMP_PDB_EXECUTION_ERROR, problem};
  services.colors = colors.get();
  document.pixels = readBytes(drawableId, formatOf(drawableId, "u8"), d.width, d.height);
  const std::vector<uint8> before = document.pixels;

  RecordedAction replay;
  for (int i = 0; i < kSettings; ++i)
    if (settings.given[i])
      replay.push_back(
          DescriptorItem{kPersistedSettings[i].descriptorKey, kIntegerType, settings.values[i]});

  std::unique_ptr<X11Presenter> presenter;
  if (interactive) {
    gint32 display = gimp_default_display();
    unsigned long owner =
        display > 0 ? static_cast<unsigned long>(gimp_display_get_window_handle(display)) : 0;
    if (owner == 0) owner = gimpImageWindow(getppid());
    presenter = X11Presenter::open(nullptr, "Inkjet", owner, &problem);
    if (!presenter) return {GIMP_PDB_EXECUTION_ERROR, "Inkjet cannot show its dialog: " + problem};
  }
  FilterHost host(ENTRYPOINT, &document, services);
  RunRequest request;
  request.withDialog = interactive;
  request.replay = replay.empty() ? nullptr : &replay;
  RunResult result = host.run(request);
  presenter.reset();
  if (result.failedSelector != 0 && result.result == userCanceledErr) return {GIMP_PDB_CANCEL, ""};
  if (result.failedSelector != 0)
    return {GIMP_PDB_EXECUTION_ERROR,
            "the filter failed with error " + std::to_string(result.result)};
  SharpenSettings used{};
  int32 touched = 0;
  if (interactive && establishedSettings(&host.session().record(), &used, &touched))
    rememberSettings(used);
  writeBack(image, d, before, document.pixels);
  return {GIMP_PDB_SUCCESS, ""};
}

void run(const gchar*, gint count, const GimpParam* param, gint* returnCount, GimpParam** returns) {
  static GimpParam values[2];
  static std::string message;
  *returnCount = 1;
  *returns = values;
  values[0].type = GIMP_PDB_STATUS;
  gegl_init(nullptr, nullptr);
  auto mode = GimpRunMode(param[0].data.d_int32);
  gint32 image = param[1].data.d_image;
  gint32 drawable = param[2].data.d_drawable;

  Failure outcome{GIMP_PDB_SUCCESS, ""};
  Settings settings;
  if (gimp_drawable_is_indexed(drawable)) {
    outcome = {GIMP_PDB_EXECUTION_ERROR,
               "Inkjet works on RGB and grayscale images; convert an indexed image first "
               "(Image > Mode)"};
  } else if (mode == GIMP_RUN_NONINTERACTIVE &&
             !readArguments(count, param, &settings, &outcome.message)) {
    outcome.status = GIMP_PDB_CALLING_ERROR;
  } else {
    if (mode != GIMP_RUN_NONINTERACTIVE) lastSettings(&settings);
    outcome = filter(image, drawable, settings, mode == GIMP_RUN_INTERACTIVE);
  }
  values[0].data.d_status = outcome.status;
  if (!outcome.message.empty()) {
    if (mode == GIMP_RUN_INTERACTIVE) gimp_message(outcome.message.c_str());
    message = outcome.message;
    *returnCount = 2;
    values[1].type = GIMP_PDB_STRING;
    values[1].data.d_string = const_cast<gchar*>(message.c_str());
  }
  if (outcome.status == GIMP_PDB_SUCCESS && mode != GIMP_RUN_NONINTERACTIVE) gimp_displays_flush();
}

}  // namespace

const GimpPlugInInfo PLUG_IN_INFO = {nullptr, nullptr, query, run};

MAIN()
