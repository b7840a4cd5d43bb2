// The host's progress procedure (FilterRecord.progressProc): every report is kept, and when a
// bar is wanted it is drawn on stderr, redrawn in place, ended with a newline by finishBar;
// or the reports are passed on to a bar the caller draws for more than the filter's part.
// The procedure has no context word: one ProgressServices is active at a time, the most
// recently constructed.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "hostapi/filter_record.h"

// A bar on stderr, redrawn in place when its whole percentage changes and ended with a newline
// by finish() (or its destruction), if it was drawn at all.
class ProgressBar {
 public:
  ProgressBar() = default;
  ~ProgressBar() { finish(); }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void show(double fraction);  // 0 .. 1
  void finish();

 private:
  bool shown_ = false;
  int lastPercent_ = -1;
};

class ProgressServices {
 public:
  explicit ProgressServices(bool drawBar);
  ~ProgressServices();
  ProgressServices(const ProgressServices&) = delete;
  ProgressServices& operator=(const ProgressServices&) = delete;

  ProgressProc proc() const;
  // The module's reports go to `forward` (empty: to this object's own bar, if it draws one).
  void forwardTo(std::function<void(int32 done, int32 total)> forward) {
    forward_ = std::move(forward);
  }
  const std::vector<std::pair<int32, int32>>& reports() const { return reports_; }
  void finishBar();

  // Whether stderr is a terminal, where a bar belongs.
  static bool stderrIsTerminal();

 private:
  static void HOSTAPI_CALL report(int32 done, int32 total);
  static ProgressServices* active_;
  bool drawBar_;
  ProgressBar bar_;
  std::function<void(int32 done, int32 total)> forward_;
  std::vector<std::pair<int32, int32>> reports_;
};
