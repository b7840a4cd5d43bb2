// Filling a FilterRecord for a document the way this host presents it to a filter: document
// geometry, mode, planes and resolution, the rectangle to filter, the host's fixed answers
// (signature, padding support, sampling, layout) and the services it offers. The record is
// owned by the caller and must stay at one address for the whole run.
#pragma once

#include "hostapi/filter_record.h"
#include "hostapp/document.h"

// The signature this host reports in FilterRecord.hostSig.
constexpr OSType kInkjetHostSignature = fourCharCode("inkH");

// Clears the record, then describes `document`. `handleProcs` and `platformData` may be null.
void describeDocument(FilterRecord* record, const DocumentDescription& document,
                      HandleProcs* handleProcs, PlatformData* platformData);
