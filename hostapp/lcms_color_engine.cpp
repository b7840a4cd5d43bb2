// The LittleCMS colour path of the native host: one transform per pair of spaces, made with
// relative colorimetric intent and kept for the run. The pairs between the document's space and
// RGB, the ones the filter asks for, are made when the engine opens, so a profile LittleCMS can
// open but not convert with (a damaged lookup table, say) refuses the file at once; any other
// pair is made on first use, and one that cannot be made is remembered as such, not retried.
#ifndef _WIN32
#include <lcms2.h>

#include <map>
#include <utility>

#include "hostapi/constants.h"
#include "hostapp/color_engine.h"

namespace {

struct SpaceFormat {
  int16 space;
  cmsUInt32Number format;
  int components;
};

// CMYK with 255 for no ink is LittleCMS's "reversed" CMYK; its 8-bit Lab is L 0..255 with a, b
// offset by 128, as the host's components are.
constexpr SpaceFormat kFormats[] = {
    {plugIncolorServicesRGBSpace, TYPE_RGB_8, 3},
    {plugIncolorServicesCMYKSpace, TYPE_CMYK_8_REV, 4},
    {plugIncolorServicesLabSpace, TYPE_Lab_8, 3},
    {plugIncolorServicesGraySpace, TYPE_GRAY_8, 1},
};

const SpaceFormat* formatOf(int16 space) {
  for (const SpaceFormat& format : kFormats) {
    if (format.space == space) return &format;
  }
  return nullptr;
}

cmsHPROFILE grayProfile() {
  cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
  cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), gamma);
  cmsFreeToneCurve(gamma);
  return profile;
}

cmsHPROFILE profileOfBytes(const std::vector<uint8>& bytes, cmsColorSpaceSignature expected) {
  if (bytes.empty()) return nullptr;
  cmsHPROFILE profile = cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size()));
  if (profile != nullptr && cmsGetColorSpace(profile) != expected) {
    cmsCloseProfile(profile);
    return nullptr;
  }
  return profile;
}

int16 spaceOfMode(int16 mode) {
  switch (mode) {
    case plugInModeGrayScale:
      return plugIncolorServicesGraySpace;
    case plugInModeCMYKColor:
      return plugIncolorServicesCMYKSpace;
    case plugInModeLabColor:
      return plugIncolorServicesLabSpace;
    default:
      return plugIncolorServicesRGBSpace;
  }
}

class LcmsColorEngine : public ColorEngine {
 public:
  ~LcmsColorEngine() override {
    for (auto& entry : transforms_) {
      if (entry.second != nullptr) cmsDeleteTransform(entry.second);
    }
    for (cmsHPROFILE profile : profiles_) {
      if (profile != nullptr) cmsCloseProfile(profile);
    }
  }

  bool open(const std::vector<uint8>& documentProfile, int16 documentSpace, std::string* error) {
    const std::vector<uint8> none;
    const auto& own = [&](int16 space) -> const std::vector<uint8>& {
      return space == documentSpace ? documentProfile : none;
    };
    profiles_[0] = profileOfBytes(own(plugIncolorServicesRGBSpace), cmsSigRgbData);
    if (profiles_[0] == nullptr) profiles_[0] = cmsCreate_sRGBProfile();
    profiles_[1] = profileOfBytes(own(plugIncolorServicesCMYKSpace), cmsSigCmykData);
    if (profiles_[1] == nullptr)
      profiles_[1] = cmsOpenProfileFromFile(kDefaultCmykProfilePath, "r");
    profiles_[2] = cmsCreateLab4Profile(nullptr);
    profiles_[3] = profileOfBytes(own(plugIncolorServicesGraySpace), cmsSigGrayData);
    if (profiles_[3] == nullptr) profiles_[3] = grayProfile();
    if (profiles_[1] == nullptr) {
      *error = std::string("cannot open the CMYK profile ") + kDefaultCmykProfilePath;
      return false;
    }
    const SpaceFormat* document = formatOf(documentSpace);
    const SpaceFormat* rgb = formatOf(plugIncolorServicesRGBSpace);
    if (document != rgb &&
        (transformFor(*document, *rgb) == nullptr || transformFor(*rgb, *document) == nullptr)) {
      *error = documentProfile.empty() ? "cannot build colour conversions for the image's mode"
                                       : "the image's ICC profile cannot be used for colour "
                                         "conversions: it is damaged or incomplete";
      return false;
    }
    return true;
  }

  bool convert(int16 sourceSpace, int16 resultSpace, int16 components[4]) override {
    const SpaceFormat* from = formatOf(sourceSpace);
    const SpaceFormat* to = formatOf(resultSpace);
    cmsHTRANSFORM transform = from && to ? transformFor(*from, *to) : nullptr;
    if (transform == nullptr) return false;
    uint8 in[4] = {};
    uint8 out[4] = {};
    for (int i = 0; i < from->components; ++i) in[i] = uint8(components[i] & 0xff);
    cmsDoTransform(transform, in, out, 1);
    for (int i = 0; i < to->components; ++i) components[i] = out[i];
    return true;
  }

 private:
  cmsHTRANSFORM transformFor(const SpaceFormat& from, const SpaceFormat& to) {
    auto key = std::make_pair(from.space, to.space);
    auto found = transforms_.find(key);
    if (found != transforms_.end()) return found->second;
    cmsHTRANSFORM transform =
        cmsCreateTransform(profiles_[indexOf(from)], from.format, profiles_[indexOf(to)], to.format,
                           INTENT_RELATIVE_COLORIMETRIC, 0);
    transforms_[key] = transform;
    return transform;
  }

  static int indexOf(const SpaceFormat& format) { return int(&format - kFormats); }

  cmsHPROFILE profiles_[4] = {};
  std::map<std::pair<int16, int16>, cmsHTRANSFORM> transforms_;
};

}  // namespace

std::unique_ptr<ColorEngine> makeLcmsColorEngine(const std::vector<uint8>& documentProfile,
                                                 int16 documentMode, std::string* error) {
  auto engine = std::make_unique<LcmsColorEngine>();
  if (!engine->open(documentProfile, spaceOfMode(documentMode), error)) return nullptr;
  return engine;
}
#endif
