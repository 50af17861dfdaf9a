// Pictures drawn for the tests and benchmarks of the picture search: a busy desktop of small
// shapes, gradients and text-like strokes, a button-like control with an outline and a glyph
// (the kind of thing a user points at with F10), and the ways a screen can differ from the
// moment a control was taught.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>

#include "services/image.h"
#include "services/types.h"

namespace pelloram::testing::pictures {

struct Rgb {
  int r, g, b;
};

inline Image Blank(int width, int height, Rgb colour) {
  Image image{width, height,
              std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
  for (std::size_t i = 0; i < image.bgra.size(); i += 4) {
    image.bgra[i] = static_cast<std::uint8_t>(colour.b);
    image.bgra[i + 1] = static_cast<std::uint8_t>(colour.g);
    image.bgra[i + 2] = static_cast<std::uint8_t>(colour.r);
    image.bgra[i + 3] = 255;
  }
  return image;
}

inline void Put(Image& image, int x, int y, Rgb colour) {
  if (x < 0 || y < 0 || x >= image.width || y >= image.height) return;
  const std::size_t at = image.Offset(x, y);
  image.bgra[at] = static_cast<std::uint8_t>(std::clamp(colour.b, 0, 255));
  image.bgra[at + 1] = static_cast<std::uint8_t>(std::clamp(colour.g, 0, 255));
  image.bgra[at + 2] = static_cast<std::uint8_t>(std::clamp(colour.r, 0, 255));
}

inline void FillRect(Image& image, int x0, int y0, int w, int h, Rgb colour) {
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) Put(image, x, y, colour);
  }
}

inline void Ring(Image& image, int cx, int cy, int radius, int thickness, Rgb colour) {
  for (int y = cy - radius; y <= cy + radius; ++y) {
    for (int x = cx - radius; x <= cx + radius; ++x) {
      const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
      const int inner = radius - thickness;
      if (d2 <= radius * radius && d2 >= inner * inner) Put(image, x, y, colour);
    }
  }
}

inline Image Crop(const Image& image, int x0, int y0, int w, int h) {
  Image out = Blank(w, h, {0, 0, 0});
  for (int y = 0; y < h; ++y) {
    std::copy_n(image.bgra.begin() + static_cast<std::ptrdiff_t>(image.Offset(x0, y0 + y)), w * 4,
                out.bgra.begin() + static_cast<std::ptrdiff_t>(out.Offset(0, y)));
  }
  return out;
}

inline void Paste(Image& image, const Image& piece, int x0, int y0) {
  for (int y = 0; y < piece.height; ++y) {
    for (int x = 0; x < piece.width; ++x) {
      const std::size_t at = piece.Offset(x, y);
      Put(image, x0 + x, y0 + y, {piece.bgra[at + 2], piece.bgra[at + 1], piece.bgra[at]});
    }
  }
}

// A busy desktop: a window-grey ground with hundreds of small coloured shapes, rings,
// gradient patches and lines of text-like strokes, all from one seed.
inline Image Desktop(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  auto pick = [&](int low, int high) {
    return low + static_cast<int>(random() % (high - low + 1));
  };
  auto colour = [&] { return Rgb{pick(0, 255), pick(0, 255), pick(0, 255)}; };
  Image image = Blank(width, height, {236, 236, 236});
  const int shapes = width * height / 1500;
  for (int i = 0; i < shapes; ++i) {
    const int x = pick(0, width - 1), y = pick(0, height - 1);
    switch (random() % 4) {
      case 0:
        FillRect(image, x, y, pick(4, 30), pick(4, 30), colour());
        break;
      case 1:
        Ring(image, x, y, pick(4, 16), pick(1, 4), colour());
        break;
      case 2: {  // a gradient patch
        const int w = pick(10, 40), h = pick(6, 24);
        const Rgb from = colour(), to = colour();
        for (int dx = 0; dx < w; ++dx) {
          const Rgb c{from.r + (to.r - from.r) * dx / w, from.g + (to.g - from.g) * dx / w,
                      from.b + (to.b - from.b) * dx / w};
          FillRect(image, x + dx, y, 1, h, c);
        }
        break;
      }
      default: {  // a line of "text": short strokes of one or two pixels
        const Rgb ink{pick(0, 80), pick(0, 80), pick(0, 80)};
        for (int c = 0, cx = x; c < pick(3, 10); ++c, cx += 8) {
          FillRect(image, cx, y, pick(1, 2), pick(5, 10), ink);
          FillRect(image, cx, y + pick(0, 8), pick(3, 7), 1, ink);
        }
      }
    }
  }
  return image;
}

// A 48 × 48 picture of a button: light face, dark outline, a ring and a text-like glyph.
inline Image Button() {
  Image button = Blank(48, 48, {246, 246, 246});
  FillRect(button, 4, 4, 40, 1, {120, 120, 120});
  FillRect(button, 4, 43, 40, 1, {120, 120, 120});
  FillRect(button, 4, 4, 1, 40, {120, 120, 120});
  FillRect(button, 43, 4, 1, 40, {120, 120, 120});
  Ring(button, 18, 20, 9, 2, {60, 160, 60});
  FillRect(button, 30, 12, 2, 20, {30, 30, 30});
  FillRect(button, 26, 18, 12, 2, {30, 30, 30});
  FillRect(button, 10, 34, 26, 3, {200, 80, 40});
  return button;
}

// The desktop with the button at `at`: what the tool sees before a click.
inline Image ScreenWithButton(int width, int height, Point at, unsigned seed = 7) {
  Image screen = Desktop(width, height, seed);
  Paste(screen, Button(), at.x, at.y);
  return screen;
}

// Grey level g becomes gain * g + offset on every channel.
inline Image Relit(const Image& image, double gain, int offset) {
  Image out = image;
  for (std::size_t i = 0; i < out.bgra.size(); ++i) {
    if (i % 4 == 3) continue;
    out.bgra[i] = static_cast<std::uint8_t>(std::clamp(gain * image.bgra[i] + offset, 0.0, 255.0));
  }
  return out;
}

inline Image Noisy(const Image& image, double sigma, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0.0, sigma);
  Image out = image;
  for (std::size_t i = 0; i < out.bgra.size(); ++i) {
    if (i % 4 == 3) continue;
    out.bgra[i] = static_cast<std::uint8_t>(std::clamp(image.bgra[i] + noise(random), 0.0, 255.0));
  }
  return out;
}

inline Image Checkerboard(int width, int height, int cell) {
  Image image = Blank(width, height, {250, 250, 250});
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if ((x / cell + y / cell) % 2) Put(image, x, y, {40, 40, 40});
    }
  }
  return image;
}

// A sticker grid: the same small icon every `pitch` pixels, as in a panel of look-alikes.
inline Image Tiled(int width, int height, int pitch) {
  Image image = Blank(width, height, {240, 240, 240});
  for (int y = 0; y < height; y += pitch) {
    for (int x = 0; x < width; x += pitch) {
      Ring(image, x + pitch / 2, y + pitch / 2, pitch / 3, 2, {220, 120, 30});
      FillRect(image, x + 2, y + pitch - 4, pitch - 4, 2, {50, 50, 50});
    }
  }
  return image;
}

}  // namespace pelloram::testing::pictures
