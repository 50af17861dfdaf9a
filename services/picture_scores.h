// The scores under the picture search: grey pictures, the taught picture cut into cells of
// which a covered part may be left out, and the score of every place. Shared by the search
// (picture_match.cpp), the check that a picture can be found again (picture_distinctive.cpp)
// and the tests' exhaustive yardstick; nothing outside the picture search includes it.
#pragma once

#include <cstddef>
#include <vector>

#include "services/image.h"
#include "services/picture_match.h"

namespace pelloram::scoring {

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

Area Intersect(const Area& a, const Area& b);

// Grey of `area` of `image`, each value the mean of a factor × factor block; a partial
// block at the right or bottom edge is dropped.
void Reduce(const Image& image, const Area& area, int factor, Grey& grey);
Grey Reduce(const Image& image, const Area& area, int factor);

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
  Pattern(const Grey& grey, int wantedGrid, double leftOut);

  std::size_t Pixels() const { return values.size(); }
  std::size_t Cells() const { return static_cast<std::size_t>(grid) * grid; }
  bool Plain() const { return spread <= kPlainSpreadPerPixel * static_cast<double>(Pixels()); }
  int CellOf(int x, int y) const { return cellRow[y] * grid + cellColumn[x]; }
};

// Leaving out a covered part at full resolution: up to a quarter of the picture, in
// sixteenths.
inline constexpr int kFineGrid = 4;
inline constexpr double kFineLeftOut = 0.25;

// Scores of every position of `pattern` in `grey`, row-major over the (w-pw+1) × (h-ph+1)
// positions; `integral` and `scores` keep their memory from one call to the next.
void ScoreMap(const Grey& grey, const Pattern& pattern, Integral& integral,
              std::vector<float>& scores);
std::vector<float> ScoreMap(const Grey& grey, const Pattern& pattern);

struct Candidate {
  int x = 0, y = 0;  // top-left, in the screen picture
  double score = 0;
};

// Two places count as different when they are apart by at least half the picture's width or
// half its height: closer, they are one place seen a little off.
bool Apart(const Candidate& a, const Candidate& b, int width, int height);
// Found: the best place scores above the threshold and clearly above the best other place.
Match Decide(const Candidate& best, double nextBest, double threshold = kMatchThreshold);
// Both pictures hold pixels, and the taught one fits on the screen.
bool Searchable(const Image& screen, const Image& taught);

}  // namespace pelloram::scoring
