#include "hostapp/progress_services.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define INKJET_ISATTY _isatty
#else
#include <unistd.h>
#define INKJET_ISATTY isatty
#endif

ProgressServices* ProgressServices::active_ = nullptr;

namespace {
constexpr int kBarWidth = 40;
}

ProgressServices::ProgressServices(bool drawBar) : drawBar_(drawBar) { active_ = this; }

ProgressServices::~ProgressServices() {
  finishBar();
  if (active_ == this) active_ = nullptr;
}

ProgressProc ProgressServices::proc() const { return &ProgressServices::report; }

bool ProgressServices::stderrIsTerminal() { return INKJET_ISATTY(2) != 0; }

void HOSTAPI_CALL ProgressServices::report(int32 done, int32 total) {
  if (active_ == nullptr) return;
  active_->reports_.emplace_back(done, total);
  if (active_->drawBar_) active_->draw(done, total);
}

void ProgressServices::draw(int32 done, int32 total) {
  if (total <= 0) return;
  int percent = int(double(done) * 100.0 / double(total));
  percent = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  int filled = percent * kBarWidth / 100;
  std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled, "========================================",
               kBarWidth - filled, "", percent);
  std::fflush(stderr);
  barShown_ = true;
}

void ProgressServices::finishBar() {
  if (barShown_) std::fputc('\n', stderr);
  barShown_ = false;
  lastPercent_ = -1;
}
