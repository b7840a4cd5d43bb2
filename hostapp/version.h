// The version string of the inkjet tools.
#pragma once

const char* inkjetVersion();
