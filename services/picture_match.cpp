// FindPicture: coarse to fine, near the taught place first, the core checked in colour.
#include "services/picture_match.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

#include "services/picture_scores.h"

namespace pelloram {

namespace {

using namespace scoring;

// The pictures of a whole-screen search, kept from one search to the next: allocating them
// afresh costs as much as the search itself (every page is faulted in and zeroed again).
// A few megabytes for a full-HD screen, per thread that searches.
struct Scratch {
  Grey grey;
  Integral integral;
  std::vector<float> scores;
};

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
             const std::optional<Rect>& core, double threshold) {
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
  return Decide(*best, nextBest, threshold);
}

}  // namespace

Match FindPicture(const Image& screen, const Image& taught, const SearchHint& hint) {
  if (!Searchable(screen, taught)) return {};
  const Area all{0, 0, screen.width - taught.width + 1, screen.height - taught.height + 1};
  const std::optional<Rect> core = CoreWithin(taught, hint.core);
  if (hint.expectedAt) {
    const int r = std::max(0, hint.nearRadius);
    const Area near =
        Intersect({hint.expectedAt->x - r, hint.expectedAt->y - r, 2 * r + 1, 2 * r + 1}, all);
    if (!near.Empty() && (near.width < all.width || near.height < all.height)) {
      const Match nearby = Search(screen, taught, near, core, hint.threshold);
      if (nearby.found) return nearby;
    }
  }
  return Search(screen, taught, all, core, hint.threshold);
}

}  // namespace pelloram
