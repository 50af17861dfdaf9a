// The line pictures on the practice client's controls (a smiling face on the sticker button,
// a heart on the collected tab, a folder on the file button), drawn here in code. The tool
// finds these controls by their look, so each must look like nothing else on the client.
// Portable, so the pictures are tested on the host.
#pragma once

#include <cstdint>
#include <vector>

#include "practice_client/model.h"

namespace practice {

// The lines' colour, 0x00RRGGBB.
inline constexpr std::uint32_t kLineColour = 0x404040;

struct LinePicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> ink;  // how much of each pixel the lines cover, 0..255, row-major

  std::uint8_t At(int x, int y) const {
    return ink[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x)];
  }
};

// The picture of a control drawn for a monitor of `dpi` (96: as designed; 144: half as large
// again, with lines half as wide again); nothing (0 × 0) for no picture or a sticker, which
// has its own.
const LinePicture& PictureOf(Model::Picture picture, int dpi = 96);

}  // namespace practice
