#ifdef _WIN32
#include "hostapp/dialog_script.h"

#include <fstream>
#include <ostream>

#include "core/persisted_settings.h"
#include "imagefiles/image_files.h"
#include "resources/artwork/layout.h"
#include "hostapp/snapshot_png.h"
#include "hostapp/filter_run.h"
#include "hostapp/gradient_picture.h"
#include "hostapp/module_session.h"
#include "hostapp/watchdog.h"

namespace {

constexpr DWORD kPollMilliseconds = 20;
constexpr int kTargetWaitPolls = 500;  // the dialog has ten seconds to appear
constexpr int kPaintWaitPolls = 100;
constexpr DWORD kTakenMilliseconds = 10000;  // the dialog's thread takes input within this
constexpr UINT kTakenMarker = WM_APP + 0x4B4A;
constexpr int kWatchdogSeconds = 30;
constexpr int kAboutWidth = 350;
constexpr int kAboutHeight = 280;
constexpr int kDialogWidth = 500;
constexpr int kDialogHeight = 420;
// The middle of the main dialog's OK button.
constexpr int kOkX = artwork::layout::kOkButton.x + artwork::layout::kOkButton.w / 2;
constexpr int kOkY = artwork::layout::kOkButton.y + artwork::layout::kOkButton.h / 2;
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

POINT clientOrigin(HWND window) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return origin;
}

// The visible top-level windows of `thread` from the frontmost to the backmost.
std::vector<HWND> threadWindows(DWORD thread) {
  std::vector<HWND> windows;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
    if (IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == thread) windows.push_back(w);
  return windows;
}

// Draws `over` into `base` (the client area of `baseWindow`) where it lies on screen.
void pasteOver(Raster& base, HWND baseWindow, const Raster& over, HWND overWindow) {
  POINT b = clientOrigin(baseWindow), o = clientOrigin(overWindow);
  for (int y = 0; y < over.height; ++y)
    for (int x = 0; x < over.width; ++x) {
      int bx = x + o.x - b.x, by = y + o.y - b.y;
      if (bx < 0 || by < 0 || bx >= base.width || by >= base.height) continue;
      std::copy_n(over.row(y) + x * 3, 3, base.row(by) + bx * 3);
    }
}

FileStatus writeScreenshot(const std::string& path, const Raster& raster) {
  std::string lower = path;
  for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
  bool png = lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".png") == 0;
  return png ? writeSnapshotPng(path, raster) : writeImageFile(path, raster);
}

// Set by the message hook on the dialog's thread when it takes the marker the player posted.
HANDLE takenEvent = nullptr;

LRESULT CALLBACK watchTaken(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == kTakenMarker)
    SetEvent(takenEvent);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool saveWindowImage(HWND window, const std::string& path, std::string& error) {
  paintNow(window);
  Raster raster;
  if (!readClientPixels(window, raster, error)) return false;
  FileStatus status = writeScreenshot(path, raster);
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
  takenEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, watchTaken, nullptr, uiThread_);
  if (!takenEvent || !hook) report_.push_back("the input hook could not be set");
  for (size_t i = 0; takenEvent && hook && i < steps_.size() && IsWindow(window); ++i)
    playStep(window, steps_[i]);
  if (hook) UnhookWindowsHookEx(hook);
  if (takenEvent) CloseHandle(takenEvent);
  takenEvent = nullptr;
  played_ = true;
}

// Posts a marker to the dialog and waits until its thread's message loop has taken it: all
// input posted before it has then been handled (or has opened a nested loop that took it). A
// dialog that closed meanwhile took its input too.
bool DialogScript::waitUntilTaken(HWND dialog) {
  ResetEvent(takenEvent);
  bool taken = PostMessageA(dialog, kTakenMarker, 0, 0) &&
               WaitForSingleObject(takenEvent, kTakenMilliseconds) == WAIT_OBJECT_0;
  if (!taken && IsWindow(dialog)) report_.push_back("the dialog did not take its input in time");
  return taken;
}

// Mouse input goes where the system would send it: to the window holding the capture, else
// to the window of the dialog's thread under the point, in that window's client coordinates.
void DialogScript::postMouse(HWND dialog, const ScriptStep& step) {
  POINT at{step.x, step.y};
  ClientToScreen(dialog, &at);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND target = GetGUIThreadInfo(uiThread_, &info) ? info.hwndCapture : nullptr;
  if (!target) {
    HWND under = WindowFromPoint(at);
    target = under && GetWindowThreadProcessId(under, nullptr) == uiThread_ ? under : dialog;
  }
  ScreenToClient(target, &at);
  UINT message = step.action == ScriptStep::Action::Press     ? WM_LBUTTONDOWN
                 : step.action == ScriptStep::Action::Release ? WM_LBUTTONUP
                                                              : WM_MOUSEMOVE;
  if (message != WM_MOUSEMOVE) leftDown_ = message == WM_LBUTTONDOWN;
  PostMessageA(target, message, leftDown_ ? MK_LBUTTON : 0, MAKELPARAM(at.x, at.y));
  waitUntilTaken(dialog);
}

void DialogScript::postKey(HWND dialog, UINT key) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  HWND target = GetGUIThreadInfo(uiThread_, &info) && info.hwndFocus ? info.hwndFocus : dialog;
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, LPARAM(0xC0000001u));
  waitUntilTaken(dialog);
}

void DialogScript::screenshot(HWND dialog, const ScriptStep& step) {
  std::vector<HWND> windows = threadWindows(uiThread_);
  HWND base = dialog;
  if (step.action == ScriptStep::Action::ScreenshotFront && !windows.empty())
    base = windows.front();
  std::string error;
  Raster raster;
  for (HWND w : windows) paintNow(w);
  bool ok = readClientPixels(base, raster, error);
  // Windows in front of the dialog (an open popup) are drawn over it, backmost first.
  for (auto w = windows.rbegin(); ok && base == dialog && w != windows.rend(); ++w) {
    if (*w == dialog || GetWindow(*w, GW_OWNER) == nullptr) continue;
    Raster over;
    if (readClientPixels(*w, over, error)) pasteOver(raster, dialog, over, *w);
  }
  FileStatus status = ok ? writeScreenshot(step.path, raster) : FileStatus();
  if (ok && !status.ok()) error = status.message;
  if (!ok || !status.ok()) report_.push_back("screenshot " + step.path + ": " + error);
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
    case ScriptStep::Action::Screenshot:
    case ScriptStep::Action::ScreenshotFront:
      screenshot(window, step);
      break;
    case ScriptStep::Action::Key:
      postKey(window, step.key);
      break;
    case ScriptStep::Action::Wait:
      Sleep(DWORD(step.milliseconds));
      break;
    case ScriptStep::Action::Move:
    case ScriptStep::Action::Press:
    case ScriptStep::Action::Release:
      postMouse(window, step);
      break;
  }
}

namespace {

// Plays `steps` against the window `target` accepts while `body` runs the module on this
// thread, with the watchdog refusing every window `expected` does not accept.
bool runScripted(const DialogScript::Target& target, const DialogScript::Target& expected,
                 const std::vector<ScriptStep>& steps, const std::function<void()>& body,
                 std::ostream& err) {
  Watchdog watchdog;
  DialogScript script;
  DWORD uiThread = GetCurrentThreadId();
  if (!watchdog.start(uiThread, kWatchdogSeconds, expected) ||
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

std::vector<ScriptStep> screenshotThen(const std::string& path, std::vector<ScriptStep> last) {
  std::vector<ScriptStep> steps;
  if (!path.empty()) {
    ScriptStep shot{ScriptStep::Action::Screenshot};
    shot.path = path;
    steps.push_back(shot);
  }
  steps.insert(steps.end(), last.begin(), last.end());
  return steps;
}

ScriptStep pointer(ScriptStep::Action action, int x, int y) {
  ScriptStep step{action};
  step.x = x;
  step.y = y;
  return step;
}

Fixed fixedOfPpi(double ppi) { return Fixed(ppi * 65536.0 + 0.5); }

// The picture of a dialog run: the input file as the inkjet tool describes it (its resolution,
// or 72 pixels per inch), or the generated picture.
bool loadPicture(const ScriptedDialogRun& run, Raster* raster, PixelDocument* document,
                 std::ostream& err) {
  if (run.input.empty()) {
    *document = gradientPicture(kPictureWidth, kPictureHeight);
    return true;
  }
  FileStatus status = readImageFile(run.input, *raster);
  if (!status.ok()) {
    err << "inkjet-host: " << status.message << "\n";
    return false;
  }
  DocumentDescription& d = document->description;
  d.width = raster->width;
  d.height = raster->height;
  d.mode = int16(raster->mode);
  d.extraPlanes = int16(raster->extraChannels);
  d.horizontalResolution =
      fixedOfPpi(raster->resolution.known ? raster->resolution.horizontal : 72.0);
  d.verticalResolution = fixedOfPpi(raster->resolution.known ? raster->resolution.vertical : 72.0);
  document->pixels = raster->pixels;
  return true;
}

bool loadScript(const ScriptedDialogRun& run, std::vector<ScriptStep>* steps, std::ostream& err) {
  if (run.script.empty()) {
    *steps = screenshotThen(run.screenshot, {pointer(ScriptStep::Action::Press, kOkX, kOkY),
                                             pointer(ScriptStep::Action::Release, kOkX, kOkY)});
    return true;
  }
  std::ifstream file(run.script);
  std::string problem;
  if (!file) problem = "cannot be read";
  if (file && !parseDialogScript(file, steps, &problem)) file.setstate(std::ios::failbit);
  if (!problem.empty()) err << "inkjet-host: " << run.script << ": " << problem << "\n";
  return problem.empty();
}

// The recorded settings as the inkjet tool's options, so its run can be compared.
void printSettings(const RecordedAction& action, std::ostream& out) {
  out << "settings:";
  for (const DescriptorItem& item : action)
    for (const PersistedSetting& setting : kPersistedSettings)
      if (item.key == setting.descriptorKey) out << " " << setting.option << " " << item.value;
  out << "\n";
}

}  // namespace

int runScriptedAbout(FilterEntryProc entry, const std::string& screenshotPath, std::ostream& out,
                     std::ostream& err) {
  auto isAbout = [](HWND window) { return clientSizeIs(window, kAboutWidth, kAboutHeight); };
  DocumentDescription document;
  document.width = 64;
  document.height = 48;
  ModuleSession session(entry, document);
  ScriptStep closeKey{ScriptStep::Action::Key};
  closeKey.key = 'A';
  bool ok = runScripted(
      isAbout, isAbout, screenshotThen(screenshotPath, {closeKey}), [&] { session.callAbout(); },
      err);
  if (!ok) return 1;
  out << "about: shown and closed by a key\n";
  return 0;
}

int runScriptedDialog(FilterEntryProc entry, const ScriptedDialogRun& run, std::ostream& out,
                      std::ostream& err) {
  auto isDialog = [](HWND window) { return clientSizeIs(window, kDialogWidth, kDialogHeight); };
  // The dialog, and the windows it opens (popup lists, help), which draw themselves and hold no
  // system controls; a message box has controls and is refused.
  auto isDialogWindow = [isDialog](HWND window) {
    return isDialog(window) ||
           (GetWindow(window, GW_OWNER) != nullptr && GetWindow(window, GW_CHILD) == nullptr);
  };
  std::vector<ScriptStep> steps;
  if (!loadScript(run, &steps, err)) return 2;
  Raster raster;
  PixelDocument document;
  if (!loadPicture(run, &raster, &document, err)) return 1;
  std::vector<uint8> before = document.pixels;
  FilterHost host(entry, &document, HostServices());
  RunResult outcome;
  RunRequest request;
  request.withDialog = true;
  bool ok = runScripted(
      isDialog, isDialogWindow, screenshotThen(run.screenshot, steps),
      [&] { outcome = host.run(request); }, err);
  if (!ok) return 1;
  if (outcome.result != 0) {
    err << "inkjet-host: the run ended with " << outcome.result << "\n";
    return 1;
  }
  printSettings(outcome.action, out);
  if (!run.output.empty()) {
    raster.pixels = document.pixels;
    FileStatus status = writeImageFile(run.output, raster);
    if (!status.ok()) {
      err << "inkjet-host: " << status.message << "\n";
      return 1;
    }
  }
  out << "dialog: shown, OK pressed, run result 0, picture "
      << (document.pixels == before ? "unchanged" : "sharpened") << "\n";
  return 0;
}
#endif
