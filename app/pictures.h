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

}  // namespace pelloram
