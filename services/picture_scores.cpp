#include "services/picture_scores.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace pelloram::scoring {

Area Intersect(const Area& a, const Area& b) {
  const int left = std::max(a.x, b.x), top = std::max(a.y, b.y);
  const int right = std::min(a.x + a.width, b.x + b.width);
  const int bottom = std::min(a.y + a.height, b.y + b.height);
  return {left, top, right - left, bottom - top};
}

// Integer weights (29, 150, 77 of 256) are the usual luma, and keep this pass over a whole
// screen cheap.
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

Pattern::Pattern(const Grey& grey, int wantedGrid, double leftOut)
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
  // A pixel's cell is the one whose edges hold it: the boxes the window's sums are taken
  // over and the taught values they are correlated with must be the same pixels, also when
  // the side is no multiple of the grid (a picture resized for another scale, a menu item's
  // picture cut at the menu's edge).
  for (int x = 0, cell = 0; x < width; ++x) {
    while (x >= xs[static_cast<std::size_t>(cell) + 1]) ++cell;
    cellColumn.push_back(cell);
  }
  for (int y = 0, cell = 0; y < height; ++y) {
    while (y >= ys[static_cast<std::size_t>(cell) + 1]) ++cell;
    cellRow.push_back(cell);
  }
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

namespace {

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

}  // namespace

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

bool Apart(const Candidate& a, const Candidate& b, int width, int height) {
  return 2 * std::abs(a.x - b.x) >= width || 2 * std::abs(a.y - b.y) >= height;
}

Match Decide(const Candidate& best, double nextBest, double threshold) {
  Match match;
  match.at = {best.x, best.y};
  match.score = best.score;
  match.nextBest = std::max(0.0, nextBest);
  match.found = best.score >= threshold && best.score - match.nextBest >= kMatchMargin;
  return match;
}

bool Searchable(const Image& screen, const Image& taught) {
  return screen.Valid() && taught.Valid() && taught.width <= screen.width &&
         taught.height <= screen.height;
}

}  // namespace pelloram::scoring
