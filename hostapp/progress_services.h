// The host's progress procedure (FilterRecord.progressProc): every report is kept, and when a
// bar is wanted it is drawn on stderr, redrawn in place, ended with a newline by finishBar.
// The procedure has no context word: one ProgressServices is active at a time, the most
// recently constructed.
#pragma once

#include <utility>
#include <vector>

#include "hostapi/filter_record.h"

class ProgressServices {
 public:
  explicit ProgressServices(bool drawBar);
  ~ProgressServices();
  ProgressServices(const ProgressServices&) = delete;
  ProgressServices& operator=(const ProgressServices&) = delete;

  ProgressProc proc() const;
  const std::vector<std::pair<int32, int32>>& reports() const { return reports_; }
  void finishBar();

  // Whether stderr is a terminal, where a bar belongs.
  static bool stderrIsTerminal();

 private:
  static void HOSTAPI_CALL report(int32 done, int32 total);
  void draw(int32 done, int32 total);
  static ProgressServices* active_;
  bool drawBar_;
  bool barShown_ = false;
  int lastPercent_ = -1;
  std::vector<std::pair<int32, int32>> reports_;
};
