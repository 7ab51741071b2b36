// Pictures made smaller: the application icon at the sizes desktops look for.
#pragma once

#include "Image.h"

namespace datagen {

// The image shrunk to width x height (each at most the source's): every output pixel
// is the mean of the source area it covers, source pixels weighted by the share of
// them inside it, colours weighted by alpha so that transparent pixels do not darken
// edges. Where the whole area is transparent the colour is the area's plain mean (the
// matte the source was given). Integer arithmetic: the same bytes everywhere.
Image scaleDown(const Image& source, int width, int height);

} // namespace datagen
