// The sharpen command of inkjet-host.exe: Inkjet.8bf loaded from `folder` as a host loads it
// (property list checked, entry point by the name it gives), then the same command line and
// run as the native tool's, with the formula colour path. Returns the exit code.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

int runHostSharpen(const std::string& folder, const std::vector<std::string>& args,
                   std::ostream& out, std::ostream& err);
