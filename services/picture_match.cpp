#include "services/picture_match.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelloram {
namespace {

// Grey values in 0..255, row-major; one value per pixel, or per block of a reduced picture.
struct Grey {
  int width = 0;
  int height = 0;
  std::vector<float> values;

  const float* Row(int y) const { return values.data() + static_cast<std::size_t>(y) * width; }
};

// A rectangle of pixels, or of top-left positions, in the screen picture.
struct Area {
  int x = 0, y = 0, width = 0, height = 0;
  bool Empty() const { return width <= 0 || height <= 0; }
};

Area Intersect(const Area& a, const Area& b) {
  const int left = std::max(a.x, b.x), top = std::max(a.y, b.y);
  const int right = std::min(a.x + a.width, b.x + b.width);
  const int bottom = std::min(a.y + a.height, b.y + b.height);
  return {left, top, right - left, bottom - top};
}

// Grey of `area` of `image`, each value the mean of a factor × factor block; a partial
// block at the right or bottom edge is dropped. Integer weights (29, 150, 77 of 256) are the
// usual luma, and keep this pass over a whole screen cheap.
Grey Reduce(const Image& image, const Area& area, int factor) {
  Grey grey;
  grey.width = area.width / factor;
  grey.height = area.height / factor;
  grey.values.resize(static_cast<std::size_t>(grey.width) * grey.height);
  std::vector<std::int32_t> sums(grey.width);
  const float scale = 1.0f / (256.0f * static_cast<float>(factor * factor));
  for (int gy = 0; gy < grey.height; ++gy) {
    std::fill(sums.begin(), sums.end(), 0);
    for (int k = 0; k < factor; ++k) {
      const std::uint8_t* pixel = image.bgra.data() + image.Offset(area.x, area.y + gy * factor + k);
      for (int gx = 0; gx < grey.width; ++gx) {
        std::int32_t sum = 0;
        for (int i = 0; i < factor; ++i, pixel += 4) {
          sum += 29 * pixel[0] + 150 * pixel[1] + 77 * pixel[2];
        }
        sums[gx] += sum;
      }
    }
    float* out = grey.values.data() + static_cast<std::size_t>(gy) * grey.width;
    for (int gx = 0; gx < grey.width; ++gx) out[gx] = static_cast<float>(sums[gx]) * scale;
  }
  return grey;
}

// Sums and sums of squares over any rectangle in constant time, for the statistics of every
// window the search scores. Doubles: the square sums of a screen outgrow a float's precision.
class Integral {
 public:
  explicit Integral(const Grey& grey)
      : stride_(grey.width + 1),
        sum_(static_cast<std::size_t>(stride_) * (grey.height + 1)),
        squares_(sum_.size()) {
    for (int y = 0; y < grey.height; ++y) {
      double rowSum = 0, rowSquares = 0;
      const float* row = grey.Row(y);
      for (int x = 0; x < grey.width; ++x) {
        rowSum += row[x];
        rowSquares += static_cast<double>(row[x]) * row[x];
        sum_[Index(x + 1, y + 1)] = sum_[Index(x + 1, y)] + rowSum;
        squares_[Index(x + 1, y + 1)] = squares_[Index(x + 1, y)] + rowSquares;
      }
    }
  }

  double Sum(int x, int y, int w, int h) const { return Box(sum_, x, y, w, h); }
  double Squares(int x, int y, int w, int h) const { return Box(squares_, x, y, w, h); }

 private:
  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * stride_ + x; }
  double Box(const std::vector<double>& table, int x, int y, int w, int h) const {
    return table[Index(x + w, y + h)] - table[Index(x, y + h)] - table[Index(x + w, y)] +
           table[Index(x, y)];
  }

  int stride_;
  std::vector<double> sum_, squares_;
};

// Below one grey level of deviation per pixel a picture or window is plain: no score means
// anything there, and dividing by its spread would only amplify rounding.
constexpr double kPlainSpreadPerPixel = 1.0;

// Sums over a part of the taught picture (t) and of the window under it (w).
struct Sums {
  double n = 0, t = 0, tt = 0, w = 0, ww = 0, wt = 0;

  Sums& operator+=(const Sums& o) {
    n += o.n, t += o.t, tt += o.tt, w += o.w, ww += o.ww, wt += o.wt;
    return *this;
  }
  Sums operator-(const Sums& o) const {
    return {n - o.n, t - o.t, tt - o.tt, w - o.w, ww - o.ww, wt - o.wt};
  }
  double WindowSpread() const { return ww - w * w / n; }
  double Covariance() const { return wt - w * t / n; }
};

// The taught picture with its mean taken away, cut into grid × grid cells. The score of a
// place leaves out the few cells that fit worst (something lies over that part of the
// control: the pointer, a tip, a neighbouring window), but counts what they held as lost:
// it is the correlation the place would have if those cells showed a flat mean grey. So a
// place that matches only the frame of a button, not its glyph, still scores low.
struct Pattern {
  int width = 0;
  int height = 0;
  int grid = 1;
  int maxLeftOut = 0;  // cells
  std::vector<float> values;
  std::vector<int> xs, ys;  // cell edges, grid + 1 each
  std::vector<Sums> cells;  // the taught picture's part of each cell
  double spread = 0;        // sum of squared deviations over the whole picture

  // `leftOut`: the share of the cells that may be left out.
  Pattern(const Grey& grey, int wantedGrid, double leftOut)
      : width(grey.width),
        height(grey.height),
        grid(std::max(1, std::min({wantedGrid, grey.width, grey.height}))),
        maxLeftOut(static_cast<int>(leftOut * grid * grid)) {
    double sum = 0;
    for (float v : grey.values) sum += v;
    const double mean = sum / static_cast<double>(grey.values.size());
    for (int k = 0; k <= grid; ++k) {
      xs.push_back(k * width / grid);
      ys.push_back(k * height / grid);
    }
    cells.resize(static_cast<std::size_t>(grid) * grid);
    values.reserve(grey.values.size());
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const double v = grey.Row(y)[x] - mean;
        values.push_back(static_cast<float>(v));
        spread += v * v;
        Sums& cell = cells[static_cast<std::size_t>(CellOf(x, y))];
        cell.n += 1, cell.t += v, cell.tt += v * v;
      }
    }
  }

  std::size_t Pixels() const { return values.size(); }
  bool Plain() const { return spread <= kPlainSpreadPerPixel * static_cast<double>(Pixels()); }
  int CellOf(int x, int y) const {
    const auto column = std::upper_bound(xs.begin(), xs.end(), x) - xs.begin() - 1;
    const auto row = std::upper_bound(ys.begin(), ys.end(), y) - ys.begin() - 1;
    return static_cast<int>(row) * grid + static_cast<int>(column);
  }
};

// The score over the kept cells (their sums `kept`): their covariance, over the spread of
// the window there and of the whole taught picture.
double Score(const Sums& kept, double taughtSpread) {
  const double windowSpread = kept.WindowSpread();
  if (windowSpread <= kPlainSpreadPerPixel * kept.n) return 0;
  return std::clamp(kept.Covariance() / std::sqrt(windowSpread * taughtSpread), -1.0, 1.0);
}

// Greedily leaves out the cell whose absence raises the score most, up to the pattern's
// limit, and stops as soon as no cell does.
double RobustScore(const Pattern& pattern, const std::vector<Sums>& cells) {
  Sums kept;
  for (const Sums& cell : cells) kept += cell;
  double best = Score(kept, pattern.spread);
  std::uint64_t leftOut = 0;
  for (int round = 0; round < pattern.maxLeftOut; ++round) {
    int worst = -1;
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (leftOut >> c & 1) continue;
      const double score = Score(kept - cells[c], pattern.spread);
      if (score > best) best = score, worst = static_cast<int>(c);
    }
    if (worst < 0) break;
    leftOut |= std::uint64_t{1} << worst;
    kept = kept - cells[static_cast<std::size_t>(worst)];
  }
  return best;
}

// Scores of every position of `pattern` in `grey`, row-major over the (w-pw+1) × (h-ph+1)
// positions. Each template value is multiplied into a whole row of positions at once, so the
// inner loop runs over contiguous memory and the compiler vectorises it.
std::vector<float> ScoreMap(const Grey& grey, const Pattern& pattern) {
  const int columns = grey.width - pattern.width + 1;
  const int rows = grey.height - pattern.height + 1;
  std::vector<float> scores(static_cast<std::size_t>(columns) * rows, 0.0f);
  const Integral integral(grey);
  const std::size_t cellCount = pattern.cells.size();
  std::vector<std::vector<float>> cross(cellCount, std::vector<float>(columns));
  std::vector<Sums> cells(cellCount);
  for (int y = 0; y < rows; ++y) {
    for (auto& row : cross) std::fill(row.begin(), row.end(), 0.0f);
    const float* t = pattern.values.data();
    for (int j = 0; j < pattern.height; ++j) {
      const float* row = grey.Row(y + j);
      for (int i = 0; i < pattern.width; ++i, ++t) {
        float* into = cross[static_cast<std::size_t>(pattern.CellOf(i, j))].data();
        const float weight = *t;
        const float* source = row + i;
        for (int x = 0; x < columns; ++x) into[x] += weight * source[x];
      }
    }
    float* out = scores.data() + static_cast<std::size_t>(y) * columns;
    for (int x = 0; x < columns; ++x) {
      for (int r = 0; r < pattern.grid; ++r) {
        for (int c = 0; c < pattern.grid; ++c) {
          const std::size_t k = static_cast<std::size_t>(r * pattern.grid + c);
          const int cx = x + pattern.xs[c], cy = y + pattern.ys[r];
          const int cw = pattern.xs[c + 1] - pattern.xs[c], ch = pattern.ys[r + 1] - pattern.ys[r];
          cells[k] = pattern.cells[k];
          cells[k].w = integral.Sum(cx, cy, cw, ch);
          cells[k].ww = integral.Squares(cx, cy, cw, ch);
          cells[k].wt = cross[k][x];
        }
      }
      out[x] = static_cast<float>(RobustScore(pattern, cells));
    }
  }
  return scores;
}

struct Candidate {
  int x = 0, y = 0;  // top-left, in the screen picture
  double score = 0;
};

// Two places count as different when they are apart by at least half the picture's width or
// half its height: closer, they are one place seen a little off.
bool Apart(const Candidate& a, const Candidate& b, int width, int height) {
  return 2 * std::abs(a.x - b.x) >= width || 2 * std::abs(a.y - b.y) >= height;
}

Match Decide(const Candidate& best, double nextBest) {
  Match match;
  match.at = {best.x, best.y};
  match.score = best.score;
  match.nextBest = std::max(0.0, nextBest);
  match.found = best.score >= kMatchThreshold && best.score - match.nextBest >= kMatchMargin;
  return match;
}

// At the reduced scale the taught picture keeps at least this many blocks a side; fewer
// carry too little of its look to rank the places.
constexpr int kMinReducedSide = 12;
constexpr int kMaxFactor = 8;
// Leaving out a covered part: at full resolution up to a quarter of the picture, in
// sixteenths. At the reduced scale, where a cell must keep a few blocks, in quarters and up
// to half: a strip along one side touches two quarters, and these scores only choose the
// places looked at closely.
constexpr int kCoarseGrid = 2;
constexpr double kCoarseLeftOut = 0.5;
constexpr int kFineGrid = 4;
constexpr double kFineLeftOut = 0.25;
// Places at the reduced scale worth a look at full resolution.
constexpr std::size_t kCandidates = 12;
constexpr float kCandidateFloor = 0.2f;

int ReductionFor(const Image& taught, const Area& pixels) {
  int factor = 1;
  while (factor < kMaxFactor) {
    const int next = factor * 2;
    const bool keepsLook = std::min(taught.width, taught.height) / next >= kMinReducedSide;
    const bool fits = pixels.width / next >= taught.width / next + 1 &&
                      pixels.height / next >= taught.height / next + 1;
    if (!keepsLook || !fits) break;
    factor = next;
  }
  return factor;
}

// The best places of a score map (`columns` wide): local maxima, best first, none within a
// quarter picture of a better one, so that one strong place does not fill every slot.
std::vector<Candidate> Peaks(const std::vector<float>& scores, int columns, int spacingX,
                             int spacingY) {
  const int rows = static_cast<int>(scores.size()) / columns;
  std::vector<Candidate> all;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < columns; ++x) {
      const float score = scores[static_cast<std::size_t>(y) * columns + x];
      if (score < kCandidateFloor) continue;
      bool peak = true;
      for (int dy = -1; dy <= 1 && peak; ++dy) {
        for (int dx = -1; dx <= 1 && peak; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= columns || ny >= rows) continue;
          peak = scores[static_cast<std::size_t>(ny) * columns + nx] <= score;
        }
      }
      if (peak) all.push_back({x, y, score});
    }
  }
  std::stable_sort(all.begin(), all.end(),
                   [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
  std::vector<Candidate> kept;
  for (const Candidate& c : all) {
    const bool crowded = std::any_of(kept.begin(), kept.end(), [&](const Candidate& k) {
      return std::abs(k.x - c.x) < spacingX && std::abs(k.y - c.y) < spacingY;
    });
    if (!crowded) kept.push_back(c);
    if (kept.size() == kCandidates) break;
  }
  return kept;
}

// The best full-resolution place among the positions `around` (clamped to `positions`).
Candidate Refine(const Image& screen, const Pattern& full, const Area& around,
                 const Area& positions) {
  const Area area = Intersect(around, positions);
  if (area.Empty()) return {around.x, around.y, -1.0};
  const Area pixels{area.x, area.y, area.width + full.width - 1, area.height + full.height - 1};
  const std::vector<float> scores = ScoreMap(Reduce(screen, pixels, 1), full);
  const auto best = std::max_element(scores.begin(), scores.end());
  const int index = static_cast<int>(best - scores.begin());
  return {area.x + index % area.width, area.y + index / area.width, *best};
}

// Coarse to fine over the top-left positions `positions`.
Match Search(const Image& screen, const Image& taught, const Area& positions) {
  const Area pixels{positions.x, positions.y, positions.width + taught.width - 1,
                    positions.height + taught.height - 1};
  const Area whole{0, 0, taught.width, taught.height};
  const Pattern full(Reduce(taught, whole, 1), kFineGrid, kFineLeftOut);
  if (full.Plain()) return {};
  // Detail finer than the blocks averages away; reduce less until some of the look is left.
  int factor = ReductionFor(taught, pixels);
  while (factor > 1 && Pattern(Reduce(taught, whole, factor), 1, 0).Plain()) factor /= 2;
  const Pattern coarse =
      factor == 1 ? full : Pattern(Reduce(taught, whole, factor), kCoarseGrid, kCoarseLeftOut);
  const Grey reduced = Reduce(screen, pixels, factor);
  const int columns = reduced.width - coarse.width + 1;
  const std::vector<float> scores = ScoreMap(reduced, coarse);
  const std::vector<Candidate> peaks = Peaks(scores, columns, std::max(2, coarse.width / 4),
                                             std::max(2, coarse.height / 4));
  std::vector<Candidate> refined;
  for (const Candidate& peak : peaks) {
    const Area around{positions.x + peak.x * factor - factor, positions.y + peak.y * factor - factor,
                      2 * factor + 1, 2 * factor + 1};
    refined.push_back(Refine(screen, full, around, positions));
  }
  if (refined.empty()) return {};
  const auto best = std::max_element(
      refined.begin(), refined.end(),
      [](const Candidate& a, const Candidate& b) { return a.score < b.score; });
  double nextBest = 0;
  for (const Candidate& c : refined) {
    if (Apart(c, *best, taught.width, taught.height)) nextBest = std::max(nextBest, c.score);
  }
  return Decide(*best, nextBest);
}

bool Searchable(const Image& screen, const Image& taught) {
  return screen.Valid() && taught.Valid() && taught.width <= screen.width &&
         taught.height <= screen.height;
}

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

Match FindPicture(const Image& screen, const Image& taught, const SearchHint& hint) {
  if (!Searchable(screen, taught)) return {};
  const Area all{0, 0, screen.width - taught.width + 1, screen.height - taught.height + 1};
  if (hint.taughtAt) {
    const int r = std::max(0, hint.nearRadius);
    const Area near =
        Intersect({hint.taughtAt->x - r, hint.taughtAt->y - r, 2 * r + 1, 2 * r + 1}, all);
    if (!near.Empty() && (near.width < all.width || near.height < all.height)) {
      const Match nearby = Search(screen, taught, near);
      if (nearby.found) return nearby;
    }
  }
  return Search(screen, taught, all);
}

Match FindPictureExhaustive(const Image& screen, const Image& taught) {
  if (!Searchable(screen, taught)) return {};
  const Pattern full(Reduce(taught, {0, 0, taught.width, taught.height}, 1), kFineGrid, kFineLeftOut);
  if (full.Plain()) return {};
  const std::vector<float> scores =
      ScoreMap(Reduce(screen, {0, 0, screen.width, screen.height}, 1), full);
  const int columns = screen.width - taught.width + 1;
  const int index =
      static_cast<int>(std::max_element(scores.begin(), scores.end()) - scores.begin());
  const Candidate best{index % columns, index / columns, scores[index]};
  double nextBest = 0;
  for (std::size_t i = 0; i < scores.size(); ++i) {
    const Candidate c{static_cast<int>(i) % columns, static_cast<int>(i) / columns, scores[i]};
    if (c.score > nextBest && Apart(c, best, taught.width, taught.height)) nextBest = c.score;
  }
  return Decide(best, nextBest);
}

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
