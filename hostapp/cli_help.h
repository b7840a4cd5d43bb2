// The text of `inkjet --help` (and of inkjet-host.exe's sharpen help): what the tool does,
// its commands, every option with its values, the print-size rules, the files this build
// reads and writes, examples and exit codes. The settings' list texts are the module's own
// (core/setting_names.h), so the help always names what the parser accepts. The result is a
// complete text ending in a newline.
#pragma once

#include <string>

std::string cliHelpText();
