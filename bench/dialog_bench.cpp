// One settings change in the open main dialog: Refresh re-sharpens the preview, rewrites the
// status lines and draws the pane. The document is 6000 x 4000 RGB at zoom 1, so only the
// 252 x 218 view of a fetched window around it is sharpened. Run natively through the
// platform stand-in; the dialog stays open while the benchmark loop runs inside its modal loop.
#include <benchmark/benchmark.h>

#include "controls/control_group.h"
#include "dialog/main_dialog.h"
#include "platform/driver.h"
#include "tests/dialog/preview_host.h"

namespace drv = platform::driver;

namespace {

constexpr POINT kZoomReset{440, 61};
constexpr POINT kOk{465, 334};

void BM_DialogRefreshAtZoomOne(benchmark::State& state) {
  drv::reset();
  PreviewHost host(6000, 4000);
  drv::queueClick(kZoomReset.x, kZoomReset.y, "MAINDIALOG");
  drv::queueCall([&] {
    MainDialog& dialog = *MainDialog::of(drv::findWindow("MAINDIALOG"));
    SharpenSettings& settings = host.parameters.settings;
    for (auto _ : state) {
      settings.printerResolution = settings.printerResolution == 4 ? 5 : 4;
      dialog.controls->onRefresh();
    }
    state.counters["zoom"] = double(dialog.zoom);
  });
  drv::queueClick(kOk.x, kOk.y, "MAINDIALOG");
  MainDialog(host.dialogRun()).runModal();
  drv::reset();
}
BENCHMARK(BM_DialogRefreshAtZoomOne)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
