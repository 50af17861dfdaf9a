// The small icons of the picture boxes: PNG files embedded in the executable, decoded
// once at start-up. Portable: no Win32 here, so the decoder is tested on the host.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "services/image.h"
#include "services/types.h"

namespace pelloram {

// Anything larger is not one of our icons; refusing it keeps a damaged or hostile file
// from asking for gigabytes.
inline constexpr int kMaxPictureSide = 1024;

// Decodes a PNG held in memory. Empty result for garbage, truncated data or oversized
// images; never throws, never aborts.
std::optional<Image> DecodePng(std::span<const std::uint8_t> data);

// The image laid over an opaque background colour: alpha becomes 255 everywhere, so
// plain GDI blits show transparency correctly.
Image FlattenOnto(const Image& image, Colour background);

// An icon as a picture box draws it on a display of `dpi`: laid over the background first (so
// its soft edge blends with the face and not with whatever colour its clear pixels hold), then
// resampled to its size times the scale (each side with Scaled). At 96 dpi the flattened icon,
// pixel for pixel.
Image IconAt(const Image& image, Colour background, int dpi);

}  // namespace pelloram
