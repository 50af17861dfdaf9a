// A picture in memory: the icons decoded from PNG, and pictures of the screen. Kept in
// services so that both the tool's own window and the search for taught controls use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelloram {

// 32-bit pixels, rows top to bottom, each pixel B, G, R, A (straight, not premultiplied):
// the layout of a 32-bit top-down DIB, so a screen capture fills it without conversion.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bgra;

  std::size_t Offset(int x, int y) const {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
            static_cast<std::size_t>(x)) *
           4;
  }
  std::uint8_t Alpha(int x, int y) const { return bgra[Offset(x, y) + 3]; }
  // False for a zero size or too few bytes for the size: such a picture is never read.
  bool Valid() const {
    return width > 0 && height > 0 &&
           bgra.size() >= static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
  }
};

}  // namespace pelloram
