// The `selectors` command of the host programs: runs the given selectors, in order, through one
// ModuleSession on a described document, and prints one line per call:
//   selector S: result R, data 0x..., allocations A, live L, locked K
// (data is the slot the host keeps, allocations counts newProc calls, live the handles alive and
// locked those still locked after the call). Options, before the selectors:
//   --handles default|none|version2|count6|no-lock   what handle services the host offers
//   --fail-allocation N                              the Nth newProc call fails
//   --size WxH, --mode M                             the document (default 64x48, RGB)
// Returns 0, or 2 with a message on `err` for a usage error.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "hostapi/entry_point.h"

int runSelectorCommand(FilterEntryProc entry, const std::vector<std::string>& args,
                       std::ostream& out, std::ostream& err);
