// The wizard's pages in order, and what happens after the last one.
#pragma once

#include <windows.h>

// Runs every page, each owned by the backdrop and preceded by its stage;
// a page that ends with anything but 1 ends the installer.  After the last
// page the finish sequence runs.  Either way the backdrop is destroyed.
void RunPageChain(HWND backdrop);
