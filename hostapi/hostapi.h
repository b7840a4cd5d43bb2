// Everything of the filter plug-in host interface that the module and the host application use.
// The records are our own declarations, laid out as 32-bit and 64-bit Windows hosts lay them
// out; in the i686, x86-64 Windows and native x86-64 builds every offset is checked at compile
// time.
#pragma once

#include "hostapi/about_record.h"
#include "hostapi/color_services.h"
#include "hostapi/constants.h"
#include "hostapi/descriptors.h"
#include "hostapi/entry_point.h"
#include "hostapi/filter_record.h"
#include "hostapi/handle_procs.h"
#include "hostapi/host_suites.h"
#include "hostapi/pixel_map.h"
#include "hostapi/types.h"
