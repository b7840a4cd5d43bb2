// What the Inkjet module tells a host about itself: the plug-in property list (resource
// "PiPL" 16000) by which a host finds, lists and enables the filter, and the scripting
// terminology (resource "AETE" 16000) that names the six recorded settings. Both are
// returned as the exact resource bytes; registrationScript() is the resource-script text
// that host/registration.rc holds, so the Windows build embeds these very bytes. Each returns
// an empty result if its content could not be encoded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kRegistrationResourceId = 16000;

std::vector<uint8_t> inkjetPropertyList();
std::vector<uint8_t> inkjetTerminology();
std::string registrationScript();
