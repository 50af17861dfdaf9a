// The pictures of the practice client that are made rather than loaded: each sticker's own
// image, drawn from its name so that no two stickers look alike, and the grain of the
// backgrounds the controls sit on. Portable, so the images are tested on the host.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace practice {

// size x size pixels, rows top to bottom, each 0x00RRGGBB.
std::vector<std::uint32_t> StickerPixels(std::string_view name, int size);

// How much darker than its plain colour a grained background is at (x, y), counted from
// the background's own top-left corner so the grain moves with it: 0 to 23.
int GrainAt(int x, int y);

}  // namespace practice
