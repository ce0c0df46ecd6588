// The product's two icons, each drawn once on a 32-unit grid that is scaled
// to the image, so one drawing serves both the 32x32 and the 16x16 image.
#pragma once

#include <string>

#include "tools/pictures/bitmap_file.h"

namespace icongen {

// The named design (quorvik or qvshell) at 32 or 16 pixels, 16 colours, its
// background left clear by the mask.  False for an unknown name or size.
bool DrawDesign(const std::string& name, int size, pictures::IconImage* icon);

}  // namespace icongen
