// IsDistinctive: whether a picture can identify a place at all.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "services/picture_match.h"
#include "services/picture_scores.h"

namespace pelloram {

namespace {

using namespace scoring;

// Normalised correlation of the picture with itself moved by (dx, dy), over the part where
// the two overlap.
double SelfScore(const Grey& grey, int dx, int dy) {
  const int x0 = std::max(0, -dx), y0 = std::max(0, -dy);
  const int width = grey.width - std::abs(dx), height = grey.height - std::abs(dy);
  double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
  for (int y = y0; y < y0 + height; ++y) {
    const float* a = grey.Row(y);
    const float* b = grey.Row(y + dy) + dx;
    for (int x = x0; x < x0 + width; ++x) {
      sa += a[x];
      sb += b[x];
      saa += static_cast<double>(a[x]) * a[x];
      sbb += static_cast<double>(b[x]) * b[x];
      sab += static_cast<double>(a[x]) * b[x];
    }
  }
  const double n = static_cast<double>(width) * height;
  const double spreadA = saa - sa * sa / n, spreadB = sbb - sb * sb / n;
  const double plain = kPlainSpreadPerPixel * n;
  if (spreadA <= plain || spreadB <= plain) return 0;
  return (sab - sa * sb / n) / std::sqrt(spreadA * spreadB);
}

// A picture whose grey values deviate less than this from their mean (root mean square) is
// plain: a flat control face with JPEG-like speckle at most.
constexpr double kDistinctiveDeviation = 6.0;

}  // namespace

bool IsDistinctive(const Image& taught) {
  if (!taught.Valid()) return false;
  const Grey grey = Reduce(taught, {0, 0, taught.width, taught.height}, 1);
  const Pattern pattern(grey, 1, 0);
  const double deviation = std::sqrt(pattern.spread / static_cast<double>(pattern.Pixels()));
  if (deviation < kDistinctiveDeviation) return false;
  // Small moves are left out: any picture with edges wider than a pixel or two still looks
  // like itself there. Beyond them, a look that comes back means stripes, tiles or a ramp.
  const int minShift = std::max(3, std::min(taught.width, taught.height) / 8);
  const int maxX = taught.width / 2, maxY = taught.height / 2;
  for (int dy = -maxY; dy <= maxY; ++dy) {
    for (int dx = -maxX; dx <= maxX; ++dx) {
      if (std::max(std::abs(dx), std::abs(dy)) < minShift) continue;
      if (SelfScore(grey, dx, dy) > 1.0 - kMatchMargin) return false;
    }
  }
  return true;
}

}  // namespace pelloram
