// A picture drawn at another size: a look taught on a monitor of one scale, searched for on a
// monitor of another, and the tool's own icons on a scaled display.
#pragma once

#include "services/image.h"
#include "services/types.h"

namespace pelloram {

// `source` resampled to `width` × `height`: each new pixel is the average of the part of the
// source it covers (partly covered source pixels counted by their share), so a picture made
// larger or smaller keeps its edges where they were and its colours unmixed with anything
// outside it. Empty for an invalid source or a size below 1 or above 16384 a side.
Image Resized(const Image& source, int width, int height);

// The part of `source` in `area` (its own pixels); empty when the area is empty or reaches
// outside the picture.
Image Cropped(const Image& source, const Rect& area);

}  // namespace pelloram
