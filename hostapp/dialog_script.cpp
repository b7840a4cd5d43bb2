#ifdef _WIN32
#include "hostapp/dialog_script.h"

#include <ostream>

#include "hostapp/files/image_files.h"
#include "hostapp/filter_run.h"
#include "hostapp/module_session.h"
#include "hostapp/watchdog.h"

namespace {

constexpr DWORD kPollMilliseconds = 20;
constexpr int kTargetWaitPolls = 500;  // the dialog has ten seconds to appear
constexpr int kPaintWaitPolls = 100;
constexpr int kWatchdogSeconds = 30;
constexpr int kAboutWidth = 350;
constexpr int kAboutHeight = 280;
constexpr int kDialogWidth = 500;
constexpr int kDialogHeight = 420;
constexpr int kOkX = 465;  // the middle of the main dialog's OK button
constexpr int kOkY = 334;
constexpr int32 kPictureWidth = 900;
constexpr int32 kPictureHeight = 600;

struct Listing {
  const DialogScript::Target* target;
  HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM listing) {
  auto* l = reinterpret_cast<Listing*>(listing);
  if (IsWindowVisible(window) && (*l->target)(window)) {
    l->found = window;
    return FALSE;
  }
  return TRUE;
}

bool clientSizeIs(HWND window, int width, int height) {
  RECT client{};
  return GetClientRect(window, &client) && client.right == width && client.bottom == height;
}

// Asks the dialog's thread to paint now and waits until nothing of the window is invalid.
void paintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  for (int i = 0; i < kPaintWaitPolls && GetUpdateRect(window, nullptr, FALSE); ++i)
    Sleep(kPollMilliseconds);
}

bool readClientPixels(HWND window, Raster& raster, std::string& error) {
  RECT client{};
  GetClientRect(window, &client);
  FileStatus status = allocateRaster(raster, client.right, client.bottom, ImageMode::rgb, 0);
  if (!status.ok()) {
    error = status.message;
    return false;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = raster.width;
  info.bmiHeader.biHeight = -raster.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP copy = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = memory && copy && bits;
  if (ok) {
    HGDIOBJ previous = SelectObject(memory, copy);
    ok = BitBlt(memory, 0, 0, raster.width, raster.height, screen, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory, previous);
    const auto* bgrx = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; ok && i < size_t(raster.width) * size_t(raster.height); ++i)
      for (int c = 0; c < 3; ++c) raster.pixels[i * 3 + size_t(c)] = bgrx[i * 4 + size_t(2 - c)];
  }
  if (copy) DeleteObject(copy);
  if (memory) DeleteDC(memory);
  ReleaseDC(window, screen);
  if (!ok) error = "the window's pixels could not be copied";
  return ok;
}

}  // namespace

bool saveWindowImage(HWND window, const std::string& path, std::string& error) {
  paintNow(window);
  Raster raster;
  if (!readClientPixels(window, raster, error)) return false;
  FileStatus status = writeImageFile(path, raster);
  if (!status.ok()) error = status.message;
  return status.ok();
}

DialogScript::~DialogScript() { finish(); }

bool DialogScript::start(DWORD uiThread, Target target, std::vector<ScriptStep> steps) {
  if (thread_) return false;
  uiThread_ = uiThread;
  target_ = std::move(target);
  steps_ = std::move(steps);
  thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
  return thread_ != nullptr;
}

bool DialogScript::finish() {
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  return played_ && report_.empty();
}

DWORD WINAPI DialogScript::run(LPVOID self) {
  static_cast<DialogScript*>(self)->play();
  return 0;
}

void DialogScript::play() {
  HWND window = waitForTarget();
  if (!window) {
    report_.push_back("the dialog did not appear");
    return;
  }
  for (const ScriptStep& step : steps_) playStep(window, step);
  played_ = true;
}

HWND DialogScript::waitForTarget() {
  for (int i = 0; i < kTargetWaitPolls; ++i) {
    Listing listing{&target_, nullptr};
    EnumThreadWindows(uiThread_, matchWindow, reinterpret_cast<LPARAM>(&listing));
    if (listing.found) return listing.found;
    Sleep(kPollMilliseconds);
  }
  return nullptr;
}

void DialogScript::playStep(HWND window, const ScriptStep& step) {
  switch (step.action) {
    case ScriptStep::Action::Screenshot: {
      std::string error;
      if (!saveWindowImage(window, step.path, error))
        report_.push_back("screenshot " + step.path + ": " + error);
      break;
    }
    case ScriptStep::Action::Key:
      PostMessageA(window, WM_KEYDOWN, step.key, 1);
      PostMessageA(window, WM_KEYUP, step.key, LPARAM(0xC0000001u));
      break;
    case ScriptStep::Action::Click: {
      LPARAM at = MAKELPARAM(step.x, step.y);
      PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
      PostMessageA(window, WM_LBUTTONUP, 0, at);
      break;
    }
  }
}

namespace {

// Plays `steps` against the window `target` accepts while `body` runs the module on this
// thread, with the watchdog refusing every other window. True when all went to plan.
bool runScripted(const DialogScript::Target& target, const std::vector<ScriptStep>& steps,
                 const std::function<void()>& body, std::ostream& err) {
  Watchdog watchdog;
  DialogScript script;
  DWORD uiThread = GetCurrentThreadId();
  if (!watchdog.start(uiThread, kWatchdogSeconds, target) ||
      !script.start(uiThread, target, steps)) {
    err << "inkjet-host: the test threads could not be started\n";
    return false;
  }
  body();
  bool played = script.finish();
  watchdog.stop();
  for (const std::string& line : script.report()) err << "inkjet-host: " << line << "\n";
  for (const std::string& line : watchdog.report()) err << "inkjet-host: " << line << "\n";
  return played && !watchdog.failed();
}

std::vector<ScriptStep> screenshotThen(const std::string& path, ScriptStep last) {
  std::vector<ScriptStep> steps;
  if (!path.empty()) steps.push_back({ScriptStep::Action::Screenshot, 0, 0, 0, path});
  steps.push_back(std::move(last));
  return steps;
}

// A colourful test picture: gradients under a checkerboard, so sharpening shows at its edges.
PixelDocument testPicture(int32 width, int32 height) {
  PixelDocument document;
  document.description.width = width;
  document.description.height = height;
  document.pixels.resize(document.byteCount());
  for (int32 y = 0; y < height; ++y)
    for (int32 x = 0; x < width; ++x) {
      uint8* p = &document.pixels[(size_t(y) * size_t(width) + size_t(x)) * 3];
      p[0] = uint8(x * 255 / width);
      p[1] = uint8(y * 255 / height);
      p[2] = ((x / 24) + (y / 24)) % 2 ? 210 : 50;
    }
  return document;
}

}  // namespace

int runScriptedAbout(FilterEntryProc entry, const std::string& screenshotPath, std::ostream& out,
                     std::ostream& err) {
  auto isAbout = [](HWND window) { return clientSizeIs(window, kAboutWidth, kAboutHeight); };
  DocumentDescription document;
  document.width = 64;
  document.height = 48;
  ModuleSession session(entry, document);
  ScriptStep closeKey{ScriptStep::Action::Key, 'A', 0, 0, ""};
  bool ok = runScripted(isAbout, screenshotThen(screenshotPath, closeKey),
                        [&] { session.callAbout(); }, err);
  if (!ok) return 1;
  out << "about: shown and closed by a key\n";
  return 0;
}

int runScriptedDialog(FilterEntryProc entry, const std::string& screenshotPath,
                      std::ostream& out, std::ostream& err) {
  auto isDialog = [](HWND window) { return clientSizeIs(window, kDialogWidth, kDialogHeight); };
  PixelDocument document = testPicture(kPictureWidth, kPictureHeight);
  std::vector<uint8> before = document.pixels;
  FilterHost host(entry, &document, HostServices());
  RunResult outcome;
  RunRequest request;
  request.withDialog = true;
  ScriptStep pressOk{ScriptStep::Action::Click, 0, kOkX, kOkY, ""};
  bool ok = runScripted(isDialog, screenshotThen(screenshotPath, pressOk),
                        [&] { outcome = host.run(request); }, err);
  if (!ok) return 1;
  if (outcome.result != 0) {
    err << "inkjet-host: the run ended with " << outcome.result << "\n";
    return 1;
  }
  out << "dialog: shown, OK pressed, run result 0, picture "
      << (document.pixels == before ? "unchanged" : "sharpened") << "\n";
  return 0;
}
#endif
