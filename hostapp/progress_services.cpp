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
  if (active_->forward_) {
    active_->forward_(done, total);
  } else if (active_->drawBar_ && total > 0) {
    active_->bar_.show(double(done) / double(total));
  }
}

void ProgressServices::finishBar() { bar_.finish(); }

void ProgressBar::show(double fraction) {
  int percent = int(fraction * 100.0);
  percent = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
  if (percent == lastPercent_) return;
  lastPercent_ = percent;
  int filled = percent * kBarWidth / 100;
  std::fprintf(stderr, "\r[%.*s%*s] %3d%%", filled,
               "========================================", kBarWidth - filled, "", percent);
  std::fflush(stderr);
  shown_ = true;
}

void ProgressBar::finish() {
  if (shown_) std::fputc('\n', stderr);
  shown_ = false;
  lastPercent_ = -1;
}
