// For the native command-line tool only: the settings the module established in the last
// Prepare, read from its record in FilterRecord.parameters (locked and unlocked again through
// the record's handle services). False when the module holds no record yet.
#pragma once

#include "host/filter_parameters.h"
#include "hostapi/filter_record.h"

bool establishedSettings(FilterRecord* record, SharpenSettings* settings, int32* settingsTouched);
