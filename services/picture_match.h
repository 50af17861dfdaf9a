// Finding a taught control by its look: the small picture kept when the user pointed at it
// with F10 is looked for in a picture of the client's part of the screen, before the click.
// Portable: works on pixel buffers only, so it is tested on the host.
#pragma once

#include <optional>

#include "services/image.h"
#include "services/types.h"

namespace pelloram {

// Scores are normalised cross-correlations of grey values: 1 for the same picture (also
// when lighter, darker or with more or less contrast), near 0 for unrelated content.
// Below the threshold the look is too different to click on; the margin over the best
// other place keeps a repeated pattern or a plain area from passing as "found".
inline constexpr double kMatchThreshold = 0.8;
inline constexpr double kMatchMargin = 0.1;
// A picture resized from another scale is only close to what the screen shows at this one:
// the control in another state (a selected tab) scores some 0.75 where it scores 0.88 at
// the scale it was taught at. The margin over every other place still has to hold.
inline constexpr double kResizedMatchThreshold = 0.7;

struct SearchHint {
  // Where the picture's top-left corner is expected (screen-picture pixels): where the
  // control was last found, relative to its window now. The search looks within
  // `nearRadius` of it first, and over the whole picture only when the control is not found
  // there: a control that has not moved is found fast, and of two alike controls the one at
  // the expected place wins.
  std::optional<Point> expectedAt;
  int nearRadius = 48;
  // A part of the taught picture (in its own pixels) that must look as taught as a whole,
  // none of it left out: the control right under the pointer. The rest of the picture may be
  // partly covered or drawn in another state (pressed, selected); a place where the
  // surroundings match and this part does not (another icon on the same background) scores
  // no better than this part does.
  std::optional<Rect> core;
  // The score a place needs to count as found.
  double threshold = kMatchThreshold;
};

struct Match {
  bool found = false;  // score above the threshold and clearly above nextBest
  Point at;            // top-left corner of the best place
  double score = 0;    // at `at`
  // The best score at a place at least half the picture's width or height away from `at`
  // (0 when there is no such place).
  double nextBest = 0;
};

// Looks for `taught` in `screen`, coarse to fine: over the whole area at a reduced scale,
// then at full resolution around the few best places. Empty or invalid pictures, and a
// taught picture larger than the screen, give "not found".
Match FindPicture(const Image& screen, const Image& taught, const SearchHint& hint = {});

// False when a picture cannot identify a place: plain (one colour, or nearly), or a pattern
// that matches itself shifted by a few pixels almost as well as unshifted (stripes, tiles,
// gradients). The tool refuses to keep such a picture at F10.
bool IsDistinctive(const Image& taught);

}  // namespace pelloram
