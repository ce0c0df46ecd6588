// Runs the product's read-me viewer from the install folder and waits for
// it, with the backdrop minimised meanwhile.
#pragma once

#include <windows.h>

void LaunchReadMe(HWND backdrop);
