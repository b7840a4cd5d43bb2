#include "hostapp/color_services.h"

#include "hostapi/constants.h"

ColorServices* ColorServices::active_ = nullptr;

ColorServices::ColorServices(ColorEngine* engine) : engine_(engine) { active_ = this; }

ColorServices::~ColorServices() {
  if (active_ == this) active_ = nullptr;
}

ColorServicesProc ColorServices::proc() const { return &ColorServices::serve; }

OSErr HOSTAPI_CALL ColorServices::serve(ColorServicesInfo* info) {
  if (active_ == nullptr || info == nullptr) return paramErr;
  ++active_->calls_;
  if (info->infoSize != int32(sizeof(ColorServicesInfo)) ||
      info->reservedSourceSpaceInfo != nullptr || info->reservedResultSpaceInfo != nullptr ||
      info->reserved != nullptr) {
    return paramErr;
  }
  if (info->selector != plugIncolorServicesConvertColor || active_->engine_ == nullptr ||
      !active_->engine_->convert(info->sourceSpace, info->resultSpace, info->colorComponents)) {
    return errPlugInHostInsufficient;
  }
  return noErr;
}
