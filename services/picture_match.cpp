#include "services/picture_match.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
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
void Reduce(const Image& image, const Area& area, int factor, Grey& grey) {
  grey.width = area.width / factor;
  grey.height = area.height / factor;
  grey.values.resize(static_cast<std::size_t>(grey.width) * grey.height);
  const int used = grey.width * factor;
  std::vector<std::int32_t> luma(used), sums(grey.width);
  const float scale = 1.0f / (256.0f * static_cast<float>(factor * factor));
  for (int gy = 0; gy < grey.height; ++gy) {
    std::fill(sums.begin(), sums.end(), 0);
    for (int k = 0; k < factor; ++k) {
      const std::uint8_t* pixel =
          image.bgra.data() + image.Offset(area.x, area.y + gy * factor + k);
      for (int x = 0; x < used; ++x) {
        luma[x] = 29 * pixel[4 * x] + 150 * pixel[4 * x + 1] + 77 * pixel[4 * x + 2];
      }
      for (int gx = 0; gx < grey.width; ++gx) {
        for (int i = 0; i < factor; ++i) sums[gx] += luma[gx * factor + i];
      }
    }
    float* out = grey.values.data() + static_cast<std::size_t>(gy) * grey.width;
    for (int gx = 0; gx < grey.width; ++gx) out[gx] = static_cast<float>(sums[gx]) * scale;
  }
}

Grey Reduce(const Image& image, const Area& area, int factor) {
  Grey grey;
  Reduce(image, area, factor, grey);
  return grey;
}

// Sums and sums of squares over any rectangle in constant time, for the statistics of every
// window the search scores. Doubles: the square sums of a screen outgrow a float's precision.
class Integral {
 public:
  // Keeps its tables from one picture to the next of the same size.
  void Build(const Grey& grey) {
    stride_ = grey.width + 1;
    sum_.resize(static_cast<std::size_t>(stride_) * (grey.height + 1));
    squares_.resize(sum_.size());
    std::fill_n(sum_.begin(), stride_, 0.0);
    std::fill_n(squares_.begin(), stride_, 0.0);
    for (int y = 0; y < grey.height; ++y) {
      double rowSum = 0, rowSquares = 0;
      const float* row = grey.Row(y);
      sum_[Index(0, y + 1)] = squares_[Index(0, y + 1)] = 0;
      for (int x = 0; x < grey.width; ++x) {
        rowSum += row[x];
        rowSquares += static_cast<double>(row[x]) * row[x];
        sum_[Index(x + 1, y + 1)] = sum_[Index(x + 1, y)] + rowSum;
        squares_[Index(x + 1, y + 1)] = squares_[Index(x + 1, y)] + rowSquares;
      }
    }
  }

  // Sums and sums of squares of the w × h boxes at (x + i, y), i = 0 .. count - 1.
  void RowOfBoxes(int x, int y, int w, int h, float* sums, float* squares, int count) const {
    const double* sumTop = &sum_[Index(x, y)];
    const double* sumBottom = &sum_[Index(x, y + h)];
    const double* squaresTop = &squares_[Index(x, y)];
    const double* squaresBottom = &squares_[Index(x, y + h)];
    for (int i = 0; i < count; ++i) {
      sums[i] = static_cast<float>(sumBottom[i + w] - sumBottom[i] - sumTop[i + w] + sumTop[i]);
      squares[i] = static_cast<float>(squaresBottom[i + w] - squaresBottom[i] - squaresTop[i + w] +
                                      squaresTop[i]);
    }
  }

 private:
  std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * stride_ + x; }

  int stride_ = 1;
  std::vector<double> sum_, squares_;
};

// Below one grey level of deviation per pixel a picture or window is plain: no score means
// anything there, and dividing by its spread would only amplify rounding.
constexpr double kPlainSpreadPerPixel = 1.0;

// The taught picture with its mean taken away, cut into grid × grid cells. The score of a
// place may leave out one rectangle of cells that fits badly (something lies over that part
// of the control: the pointer, a tip, a neighbouring window), but counts what it held as
// lost: the score is the correlation the place would have if that part showed a flat grey.
// So a place that matches only the frame of a button, not its glyph, still scores low.
struct Pattern {
  // What may be left out: the cells of one rectangle, with the taught picture's pixel count
  // and sum over the rest.
  struct LeftOut {
    std::vector<int> cells;
    double keptPixels = 0;
    double keptSum = 0;
  };

  int width = 0;
  int height = 0;
  int grid = 1;
  std::vector<float> values;
  std::vector<int> xs, ys;               // cell edges, grid + 1 each
  std::vector<int> cellColumn, cellRow;  // the cell column of each x, row of each y
  std::vector<LeftOut> choices;          // the first leaves nothing out
  double spread = 0;                     // sum of squared deviations

  // `leftOut`: the largest share of the cells one left-out rectangle may hold.
  Pattern(const Grey& grey, int wantedGrid, double leftOut)
      : width(grey.width),
        height(grey.height),
        grid(std::max(1, std::min({wantedGrid, grey.width, grey.height}))) {
    double sum = 0;
    for (float v : grey.values) sum += v;
    const double mean = sum / static_cast<double>(grey.values.size());
    for (int k = 0; k <= grid; ++k) {
      xs.push_back(k * width / grid);
      ys.push_back(k * height / grid);
    }
    for (int x = 0; x < width; ++x) cellColumn.push_back(x * grid / width);
    for (int y = 0; y < height; ++y) cellRow.push_back(y * grid / height);
    std::vector<double> cellPixels(static_cast<std::size_t>(grid) * grid);
    std::vector<double> cellSums(cellPixels.size());
    values.reserve(grey.values.size());
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const double v = grey.Row(y)[x] - mean;
        values.push_back(static_cast<float>(v));
        spread += v * v;
        const std::size_t cell = static_cast<std::size_t>(CellOf(x, y));
        cellPixels[cell] += 1;
        cellSums[cell] += v;
      }
    }
    choices.push_back({{}, static_cast<double>(values.size()), 0.0});
    const int most = static_cast<int>(leftOut * grid * grid);
    for (int r0 = 0; r0 < grid; ++r0) {
      for (int c0 = 0; c0 < grid; ++c0) {
        for (int r1 = r0; r1 < grid; ++r1) {
          for (int c1 = c0; c1 < grid; ++c1) {
            if ((r1 - r0 + 1) * (c1 - c0 + 1) > most) continue;
            LeftOut choice = choices.front();
            for (int r = r0; r <= r1; ++r) {
              for (int c = c0; c <= c1; ++c) {
                const std::size_t cell = static_cast<std::size_t>(r * grid + c);
                choice.cells.push_back(static_cast<int>(cell));
                choice.keptPixels -= cellPixels[cell];
                choice.keptSum -= cellSums[cell];
              }
            }
            choices.push_back(std::move(choice));
          }
        }
      }
    }
  }

  std::size_t Pixels() const { return values.size(); }
  std::size_t Cells() const { return static_cast<std::size_t>(grid) * grid; }
  bool Plain() const { return spread <= kPlainSpreadPerPixel * static_cast<double>(Pixels()); }
  int CellOf(int x, int y) const { return cellRow[y] * grid + cellColumn[x]; }
};

// Over one row of positions, for one part of the window (a cell, the whole window, or what a
// choice keeps): the window's sum and sum of squares there, and its correlation with the
// taught picture's values there.
struct RowSums {
  std::vector<float> sum, squares, cross;

  explicit RowSums(int columns) : sum(columns), squares(columns), cross(columns) {}
  void Subtract(const RowSums& part) {
    for (std::size_t x = 0; x < sum.size(); ++x) {
      sum[x] -= part.sum[x];
      squares[x] -= part.squares[x];
      cross[x] -= part.cross[x];
    }
  }
};

// The correlation of every cell with the windows of positions row `y`. Each taught value is
// multiplied into a whole row of positions at once, over contiguous memory.
void Correlate(const Grey& grey, const Pattern& pattern, int y, std::vector<RowSums>& cells) {
  for (RowSums& cell : cells) std::fill(cell.cross.begin(), cell.cross.end(), 0.0f);
  const int columns = static_cast<int>(cells.front().cross.size());
  const float* t = pattern.values.data();
  for (int j = 0; j < pattern.height; ++j) {
    const float* row = grey.Row(y + j);
    for (int i = 0; i < pattern.width; ++i, ++t) {
      float* into = cells[static_cast<std::size_t>(pattern.CellOf(i, j))].cross.data();
      const float weight = *t;
      const float* source = row + i;
      for (int x = 0; x < columns; ++x) into[x] += weight * source[x];
    }
  }
}

// Window statistics of every cell, and the sums over the whole window.
void Gather(const Integral& integral, const Pattern& pattern, int y, std::vector<RowSums>& cells,
            RowSums& whole) {
  const int columns = static_cast<int>(whole.sum.size());
  for (int r = 0; r < pattern.grid; ++r) {
    for (int c = 0; c < pattern.grid; ++c) {
      RowSums& cell = cells[static_cast<std::size_t>(r * pattern.grid + c)];
      integral.RowOfBoxes(pattern.xs[c], y + pattern.ys[r], pattern.xs[c + 1] - pattern.xs[c],
                          pattern.ys[r + 1] - pattern.ys[r], cell.sum.data(), cell.squares.data(),
                          columns);
    }
  }
  integral.RowOfBoxes(0, y, pattern.width, pattern.height, whole.sum.data(), whole.squares.data(),
                      columns);
  std::fill(whole.cross.begin(), whole.cross.end(), 0.0f);
  for (const RowSums& cell : cells) {
    for (int x = 0; x < columns; ++x) whole.cross[x] += cell.cross[x];
  }
}

// Raises `best` to the signed square of the score over what `choice` keeps, where that is
// higher. Branch-free, so that the loop is vectorised: a plain window is divided by the floor
// instead and multiplied by zero.
void Keep(const RowSums& kept, const Pattern::LeftOut& choice, double taughtSpread,
          std::vector<float>& best) {
  const float n = static_cast<float>(choice.keptPixels);
  const float mean = static_cast<float>(choice.keptSum / choice.keptPixels);
  const float plain = static_cast<float>(kPlainSpreadPerPixel * choice.keptPixels);
  const float taught = static_cast<float>(taughtSpread);
  const float* w = kept.sum.data();
  const float* ww = kept.squares.data();
  const float* wt = kept.cross.data();
  float* top = best.data();
  for (std::size_t x = 0; x < best.size(); ++x) {
    const float spread = ww[x] - w[x] * w[x] / n;
    const float covariance = wt[x] - w[x] * mean;
    const float usable = spread > plain ? 1.0f : 0.0f;
    const float floor = spread > plain ? spread : plain;
    const float signedSquare = usable * covariance * std::fabs(covariance) / (floor * taught);
    top[x] = signedSquare > top[x] ? signedSquare : top[x];
  }
}

// Scores of every position of `pattern` in `grey`, row-major over the (w-pw+1) × (h-ph+1)
// positions, a row of positions at a time. Scores are compared as signed squares, with no
// square root in the loops, and rooted once at the end.
void ScoreMap(const Grey& grey, const Pattern& pattern, Integral& integral,
              std::vector<float>& scores) {
  const int columns = grey.width - pattern.width + 1;
  const int rows = grey.height - pattern.height + 1;
  scores.resize(static_cast<std::size_t>(columns) * rows);
  integral.Build(grey);
  std::vector<RowSums> cells(pattern.Cells(), RowSums(columns));
  RowSums whole(columns), kept(columns);
  std::vector<float> best(columns);
  for (int y = 0; y < rows; ++y) {
    Correlate(grey, pattern, y, cells);
    Gather(integral, pattern, y, cells, whole);
    std::fill(best.begin(), best.end(), -1.0f);
    for (const Pattern::LeftOut& choice : pattern.choices) {
      kept = whole;
      for (const int cell : choice.cells) kept.Subtract(cells[static_cast<std::size_t>(cell)]);
      Keep(kept, choice, pattern.spread, best);
    }
    float* scoreRow = scores.data() + static_cast<std::size_t>(y) * columns;
    for (int x = 0; x < columns; ++x) {
      const float root = std::sqrt(std::min(std::fabs(best[x]), 1.0f));
      scoreRow[x] = best[x] < 0 ? -root : root;
    }
  }
}

std::vector<float> ScoreMap(const Grey& grey, const Pattern& pattern) {
  Integral integral;
  std::vector<float> scores;
  ScoreMap(grey, pattern, integral, scores);
  return scores;
}

// The pictures of a whole-screen search, kept from one search to the next: allocating them
// afresh costs as much as the search itself (every page is faulted in and zeroed again).
// A few megabytes for a full-HD screen, per thread that searches.
struct Scratch {
  Grey grey;
  Integral integral;
  std::vector<float> scores;
};

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

// Normalised correlation of the `core` part of the taught picture with the screen at the
// place whose top-left is (x, y), every pixel counted, in colour: each channel against its
// own mean, so that a lighter or darker screen still scores 1, while an icon drawn in
// another colour does not pass for the taught one (grey alone may not tell them apart). A
// plain core tells nothing: 1.
double CoreScore(const Image& screen, const Image& taught, const Rect& core, int x, int y) {
  const int width = core.right - core.left, height = core.bottom - core.top;
  const double n = static_cast<double>(width) * height;
  double products = 0, taughtSpread = 0, screenSpread = 0;
  for (int channel = 0; channel < 3; ++channel) {
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    for (int j = 0; j < height; ++j) {
      for (int i = 0; i < width; ++i) {
        const double a = taught.bgra[taught.Offset(core.left + i, core.top + j) + channel];
        const double b = screen.bgra[screen.Offset(x + core.left + i, y + core.top + j) + channel];
        sa += a;
        sb += b;
        saa += a * a;
        sbb += b * b;
        sab += a * b;
      }
    }
    products += sab - sa * sb / n;
    taughtSpread += saa - sa * sa / n;
    screenSpread += sbb - sb * sb / n;
  }
  if (taughtSpread <= 3 * kPlainSpreadPerPixel * n) return 1;
  if (screenSpread <= 3 * kPlainSpreadPerPixel * n) return 0;
  return products / std::sqrt(taughtSpread * screenSpread);
}

// A core that lies inside the taught picture, or nothing.
std::optional<Rect> CoreWithin(const Image& taught, const std::optional<Rect>& core) {
  if (!core || core->left < 0 || core->top < 0 || core->right > taught.width ||
      core->bottom > taught.height || core->right <= core->left || core->bottom <= core->top) {
    return std::nullopt;
  }
  return core;
}

// Coarse to fine over the top-left positions `positions`.
Match Search(const Image& screen, const Image& taught, const Area& positions,
             const std::optional<Rect>& core) {
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
  thread_local Scratch scratch;
  Reduce(screen, pixels, factor, scratch.grey);
  const int columns = scratch.grey.width - coarse.width + 1;
  ScoreMap(scratch.grey, coarse, scratch.integral, scratch.scores);
  const std::vector<float>& scores = scratch.scores;
  const std::vector<Candidate> peaks =
      Peaks(scores, columns, std::max(2, coarse.width / 4), std::max(2, coarse.height / 4));
  std::vector<Candidate> refined;
  for (const Candidate& peak : peaks) {
    const Area around{positions.x + peak.x * factor - factor,
                      positions.y + peak.y * factor - factor, 2 * factor + 1, 2 * factor + 1};
    refined.push_back(Refine(screen, full, around, positions));
    Candidate& place = refined.back();
    if (core && place.score > 0) {
      place.score = std::min(place.score, CoreScore(screen, taught, *core, place.x, place.y));
    }
  }
  if (refined.empty()) return {};
  const auto best =
      std::max_element(refined.begin(), refined.end(),
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
  const std::optional<Rect> core = CoreWithin(taught, hint.core);
  if (hint.taughtAt) {
    const int r = std::max(0, hint.nearRadius);
    const Area near =
        Intersect({hint.taughtAt->x - r, hint.taughtAt->y - r, 2 * r + 1, 2 * r + 1}, all);
    if (!near.Empty() && (near.width < all.width || near.height < all.height)) {
      const Match nearby = Search(screen, taught, near, core);
      if (nearby.found) return nearby;
    }
  }
  return Search(screen, taught, all, core);
}

Match FindPictureExhaustive(const Image& screen, const Image& taught) {
  if (!Searchable(screen, taught)) return {};
  const Pattern full(Reduce(taught, {0, 0, taught.width, taught.height}, 1), kFineGrid,
                     kFineLeftOut);
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
