// The version the host application reports (--version).
#include "hostapp/version.h"

const char* inkjetVersion() { return "1.0.2"; }
