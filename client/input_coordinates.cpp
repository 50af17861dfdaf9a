#include "client/input_coordinates.h"

namespace pelloram {
namespace {

// The smallest n that maps onto the pixel: any rounding the system does then stays on it.
std::int64_t Step(std::int64_t pixel, std::int64_t origin, std::int64_t size) {
  return ((pixel - origin) * kAbsoluteSteps + size - 1) / size;
}

std::int32_t Pixel(std::int64_t step, std::int64_t origin, std::int64_t size) {
  return static_cast<std::int32_t>(origin + step * size / kAbsoluteSteps);
}

}  // namespace

std::optional<AbsolutePoint> ToAbsolute(const Rect& virtualScreen, Point pixel) {
  const std::int64_t width = static_cast<std::int64_t>(virtualScreen.right) - virtualScreen.left;
  const std::int64_t height = static_cast<std::int64_t>(virtualScreen.bottom) - virtualScreen.top;
  if (pixel.x < virtualScreen.left || pixel.x >= virtualScreen.right ||
      pixel.y < virtualScreen.top || pixel.y >= virtualScreen.bottom) {
    return std::nullopt;
  }
  const AbsolutePoint absolute{static_cast<std::int32_t>(Step(pixel.x, virtualScreen.left, width)),
                               static_cast<std::int32_t>(Step(pixel.y, virtualScreen.top, height))};
  if (absolute.x >= kAbsoluteSteps || absolute.y >= kAbsoluteSteps ||
      FromAbsolute(virtualScreen, absolute) != pixel) {
    return std::nullopt;
  }
  return absolute;
}

Point FromAbsolute(const Rect& virtualScreen, AbsolutePoint absolute) {
  const std::int64_t width = static_cast<std::int64_t>(virtualScreen.right) - virtualScreen.left;
  const std::int64_t height = static_cast<std::int64_t>(virtualScreen.bottom) - virtualScreen.top;
  return Point{Pixel(absolute.x, virtualScreen.left, width),
               Pixel(absolute.y, virtualScreen.top, height)};
}

}  // namespace pelloram
