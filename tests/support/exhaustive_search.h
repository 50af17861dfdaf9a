// The picture search's yardstick: every position scored at full resolution, far too slow
// for a run. Tests and benchmarks hold FindPicture's coarse-to-fine answer against it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "services/picture_match.h"
#include "services/picture_scores.h"

namespace pelloram::testing {

inline Match FindPictureExhaustive(const Image& screen, const Image& taught) {
  using namespace scoring;
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

}  // namespace pelloram::testing
