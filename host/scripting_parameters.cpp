#include "host/scripting_parameters.h"

#include "core/persisted_settings.h"
#include "core/print_size.h"
#include "hostapi/constants.h"
#include "core/settings_format.h"

namespace {

int32* persistedField(SharpenSettings* settings, int index) {
  return &(settings->*kPersistedSettings[index].field);
}

int settingIndexOfKey(uint32 key) {
  for (int index = 0; index < kPersistedSettingCount; ++index) {
    if (kPersistedSettings[index].descriptorKey == key) return index;
  }
  return -1;
}

// Only the procedures the module calls are checked; the rest of the suite is not our business.
ReadDescriptorProcs* usableReadProcs(const FilterRecord& record) {
  const PIDescriptorParameters* descriptors = record.descriptorParameters;
  ReadDescriptorProcs* procs = descriptors != nullptr ? descriptors->readDescriptorProcs : nullptr;
  bool usable = procs != nullptr && procs->numReadDescriptorProcs >= 4 &&
                procs->openReadDescriptorProc != nullptr &&
                procs->closeReadDescriptorProc != nullptr && procs->getKeyProc != nullptr &&
                procs->getIntegerProc != nullptr;
  return usable ? procs : nullptr;
}

WriteDescriptorProcs* usableWriteProcs(const FilterRecord& record) {
  const PIDescriptorParameters* descriptors = record.descriptorParameters;
  WriteDescriptorProcs* procs =
      descriptors != nullptr ? descriptors->writeDescriptorProcs : nullptr;
  bool usable = procs != nullptr && procs->numWriteDescriptorProcs >= 3 &&
                procs->openWriteDescriptorProc != nullptr &&
                procs->closeWriteDescriptorProc != nullptr && procs->putIntegerProc != nullptr;
  return usable ? procs : nullptr;
}

// Reads every key the host reports; a value that the host cannot hand over as an integer
// leaves the setting as it was.
void readRecordedSettings(const FilterRecord& record, ReadDescriptorProcs* procs,
                          FilterParameters* parameters) {
  // The host overwrites the keys it delivers, so the list must be writable and ours per call.
  DescriptorKeyID keys[kPersistedSettingCount + 1] = {};
  for (int index = 0; index < kPersistedSettingCount; ++index)
    keys[index] = kPersistedSettings[index].descriptorKey;
  PIReadDescriptor reader =
      procs->openReadDescriptorProc(record.descriptorParameters->descriptor, keys);
  if (reader == nullptr) return;
  DescriptorKeyID key = 0;
  DescriptorTypeID type = 0;
  int32 flags = 0;
  while (procs->getKeyProc(reader, &key, &type, &flags)) {
    parameters->settingsTouched = true;
    int index = settingIndexOfKey(key);
    int32 value = 0;
    if (index >= 0 && procs->getIntegerProc(reader, &value) == noErr) {
      *persistedField(&parameters->settings, index) = value;
    }
  }
  procs->closeReadDescriptorProc(reader);
  clampPersistedSettings(parameters->settings);
}

void applyDefaults(FilterParameters* parameters) {
  for (int index = 0; index < kPersistedSettingCount; ++index) {
    *persistedField(&parameters->settings, index) = kPersistedSettings[index].runDefault;
  }
  parameters->settingsTouched = false;
}

// A recorded distance that disagrees with the print size gives way, and the report then says
// it was adjusted; without a recording the tier simply applies.
void applyEyeDistanceRule(int32 tier, bool recorded, FilterParameters* parameters) {
  if (tier == 0 || parameters->settings.eyeDistance == tier) return;
  parameters->settings.eyeDistance = tier;
  if (recorded) parameters->settingsTouched = false;
}

}  // namespace

void establishSettings(PluginGlobals* globals, FilterParameters* parameters) {
  const FilterRecord& record = *globals->filterRecord;
  float width = printMillimetres(record.imageSize.h, record.imageHRes);
  float height = printMillimetres(record.imageSize.v, record.imageVRes);
  parameters->settings.printWidth = printSizeField(width);
  parameters->settings.printHeight = printSizeField(height);
  applyDefaults(parameters);
  bool recorded = record.descriptorParameters != nullptr;
  if (ReadDescriptorProcs* procs = usableReadProcs(record)) {
    readRecordedSettings(record, procs, parameters);
  }
  applyEyeDistanceRule(eyeDistanceTier(width, height), recorded, parameters);
}

void recordSettings(PluginGlobals* globals, FilterParameters* parameters) {
  FilterRecord& record = *globals->filterRecord;
  WriteDescriptorProcs* procs = usableWriteProcs(record);
  if (procs == nullptr) return;
  PIWriteDescriptor writer = procs->openWriteDescriptorProc();
  if (writer == nullptr) return;
  for (int index = 0; index < kPersistedSettingCount; ++index) {
    procs->putIntegerProc(writer, kPersistedSettings[index].descriptorKey,
                          *persistedField(&parameters->settings, index));
  }
  PIDescriptorHandle descriptor = nullptr;
  procs->closeWriteDescriptorProc(writer, &descriptor);
  record.descriptorParameters->descriptor = descriptor;
}
