// One settings change in the open main dialog: Refresh re-sharpens the preview, rewrites the
// status lines and draws the pane. The document is 6000 x 4000 RGB at zoom 1, so only the
// 252 x 218 view of a fetched window around it is sharpened. Run natively through the
// platform stand-in; the dialog stays open while the benchmark loop runs inside its modal loop.
// The argument is the engine's thread count (0: the machine's cores), since on a busy machine a
// second thread can cost more wall time than it saves.
#include <benchmark/benchmark.h>

#include "controls/control_group.h"
#include "dialog/main_dialog.h"
#include "host/entry_point.h"
#include "platform/driver.h"
#include "resources/artwork/layout.h"
#include "tests/dialog/preview_host.h"

namespace drv = platform::driver;

namespace {

namespace layout = artwork::layout;

constexpr POINT centre(layout::Box box) { return POINT{box.x + box.w / 2, box.y + box.h / 2}; }

constexpr POINT kZoomReset = centre(layout::kZoomReset);
constexpr POINT kOk = centre(layout::kOkButton);

void BM_DialogRefreshAtZoomOne(benchmark::State& state) {
  InkjetSetThreads(int32(state.range(0)));
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
  InkjetSetThreads(0);
}
BENCHMARK(BM_DialogRefreshAtZoomOne)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
