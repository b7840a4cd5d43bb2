// The X window of GIMP's image window, for the dialog to be transient for, when GIMP did not
// name its display (a script's interactive call): the top-level window whose role is
// "gimp-image-window" and whose _NET_WM_PID is GIMP's process. 0 when there is none or no
// display can be opened.
#pragma once

#include <sys/types.h>

unsigned long gimpImageWindow(pid_t gimp);
