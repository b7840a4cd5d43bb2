// The host's colour services as the filter sees them (FilterRecord.colorServices): the
// ConvertColor selector through a ColorEngine, with the calls counted. The callback has no
// context word, so one ColorServices object at a time is the active one (the host runs one
// module call at a time on one thread); it becomes active when constructed and stops being so
// when destroyed. A request with a wrong infoSize or non-null reserved fields is refused with
// paramErr, as hosts do; selectors other than ConvertColor and unknown spaces answer
// errPlugInHostInsufficient and leave the components alone.
#pragma once

#include "hostapi/color_services.h"
#include "hostapp/color_engine.h"

class ColorServices {
 public:
  explicit ColorServices(ColorEngine* engine);
  ~ColorServices();
  ColorServices(const ColorServices&) = delete;
  ColorServices& operator=(const ColorServices&) = delete;

  ColorServicesProc proc() const;
  long calls() const { return calls_; }
  ColorEngine* engine() const { return engine_; }
  // The engine of the active colour services, null when none is active or it has no engine;
  // the host's display draws documents that are not RGB through it.
  static ColorEngine* activeEngine() { return active_ ? active_->engine_ : nullptr; }

 private:
  static OSErr HOSTAPI_CALL serve(ColorServicesInfo* info);
  static ColorServices* active_;
  ColorEngine* engine_;
  long calls_ = 0;
};
