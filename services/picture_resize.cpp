#include "services/picture_resize.h"

#include <algorithm>
#include <vector>

namespace pelloram {
namespace {

constexpr int kLargestSide = 16384;

// How much of each source pixel along one axis a target pixel covers: for target i, the
// source range [i * from / to, (i + 1) * from / to) as (first pixel, weights).
struct Span {
  int first = 0;
  std::vector<double> weights;
};

std::vector<Span> SpansOf(int from, int to) {
  std::vector<Span> spans(static_cast<std::size_t>(to));
  const double step = static_cast<double>(from) / to;
  for (int i = 0; i < to; ++i) {
    const double begin = i * step, end = (i + 1) * step;
    Span& span = spans[static_cast<std::size_t>(i)];
    span.first = static_cast<int>(begin);
    for (int s = span.first; s < from && s < end; ++s) {
      const double covered = std::min<double>(end, s + 1) - std::max<double>(begin, s);
      span.weights.push_back(covered / step);
    }
  }
  return spans;
}

}  // namespace

Image Resized(const Image& source, int width, int height) {
  if (!source.Valid() || width < 1 || height < 1 || width > kLargestSide || height > kLargestSide) {
    return Image{};
  }
  if (width == source.width && height == source.height) return source;
  const std::vector<Span> columns = SpansOf(source.width, width);
  const std::vector<Span> rows = SpansOf(source.height, height);
  Image out{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
  for (int y = 0; y < height; ++y) {
    const Span& row = rows[static_cast<std::size_t>(y)];
    for (int x = 0; x < width; ++x) {
      const Span& column = columns[static_cast<std::size_t>(x)];
      double sum[4] = {0, 0, 0, 0};
      for (std::size_t j = 0; j < row.weights.size(); ++j) {
        for (std::size_t i = 0; i < column.weights.size(); ++i) {
          const double w = row.weights[j] * column.weights[i];
          const std::size_t at =
              source.Offset(column.first + static_cast<int>(i), row.first + static_cast<int>(j));
          for (int c = 0; c < 4; ++c) sum[c] += w * source.bgra[at + c];
        }
      }
      const std::size_t to = out.Offset(x, y);
      for (int c = 0; c < 4; ++c) {
        out.bgra[to + c] = static_cast<std::uint8_t>(std::clamp(sum[c] + 0.5, 0.0, 255.0));
      }
    }
  }
  return out;
}

}  // namespace pelloram
