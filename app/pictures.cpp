#include "app/pictures.h"

#include <png.h>

#include <algorithm>
#include <cstring>

#include "services/picture_resize.h"
#include "services/scale.h"

namespace pelloram {
namespace {

// png_image owns decoder state until png_image_free; this frees it on every path.
class PngReader {
 public:
  PngReader() {
    std::memset(&image_, 0, sizeof image_);
    image_.version = PNG_IMAGE_VERSION;
  }
  ~PngReader() { png_image_free(&image_); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  png_image& get() { return image_; }

 private:
  png_image image_;
};

}  // namespace

std::optional<Image> DecodePng(std::span<const std::uint8_t> data) {
  if (data.empty()) return std::nullopt;
  PngReader reader;
  png_image& png = reader.get();
  // The simplified API reports errors through its return value (no longjmp reaches us).
  if (!png_image_begin_read_from_memory(&png, data.data(), data.size())) return std::nullopt;
  if (png.width == 0 || png.height == 0 || png.width > kMaxPictureSide ||
      png.height > kMaxPictureSide) {
    return std::nullopt;
  }
  png.format = PNG_FORMAT_BGRA;
  Image image;
  image.width = static_cast<int>(png.width);
  image.height = static_cast<int>(png.height);
  image.bgra.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.bgra.data(), 0, nullptr)) return std::nullopt;
  return image;
}

Image FlattenOnto(const Image& image, Colour background) {
  const unsigned backdrop[3] = {(background >> 16) & 0xFF, (background >> 8) & 0xFF,
                                background & 0xFF};  // B, G, R
  Image flat = image;
  for (std::size_t i = 0; i + 3 < flat.bgra.size(); i += 4) {
    const unsigned alpha = flat.bgra[i + 3];
    for (std::size_t c = 0; c < 3; ++c) {
      const unsigned blended = (flat.bgra[i + c] * alpha + backdrop[c] * (255 - alpha) + 127) / 255;
      flat.bgra[i + c] = static_cast<std::uint8_t>(blended);
    }
    flat.bgra[i + 3] = 255;
  }
  return flat;
}

Image IconAt(const Image& image, Colour background, int dpi) {
  const Image flat = FlattenOnto(image, background);
  if (dpi <= 0 || dpi == kBaseDpi || !flat.Valid()) return flat;
  return Resized(flat, std::max(1, Scaled(flat.width, dpi)), std::max(1, Scaled(flat.height, dpi)));
}

}  // namespace pelloram
