// sharpen IN... -o DIR (native only): each INPUT sharpened into DIR under its own name, by
// running `program` (the tool itself) once per file, up to --jobs at a time. Outputs that
// would collide, or be an input, are refused before any work (exit 2). One failure does not
// stop the others; the result is the worst exit code of the runs, and a last line on `err`
// says how many were written and which failed. `terminal`: one progress line overall.
#pragma once

#include <iosfwd>
#include <string>

#include "hostapp/cli_options.h"

int runBatchCommand(const CliRequest& request, const std::string& program, bool terminal,
                    std::ostream& err);
