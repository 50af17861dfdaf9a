// How long finding a taught 48 × 48 control takes on a full-HD screen picture: the
// coarse-to-fine search against scoring every position at full resolution with the same
// score (the plain search), in the same run.
// Prints figures and the goals beside them; asserts nothing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "services/picture_match.h"
#include "tests/support/synthetic_pictures.h"

namespace {

using namespace pelloram;
using namespace pelloram::testing::pictures;

double MedianMilliseconds(int runs, const std::function<Match()>& search, Match& last) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    last = search();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    times.push_back(took.count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void Row(const char* what, double ms, const Match& match, const char* goal) {
  std::printf("  %-34s %9.2f ms   at (%4d, %4d)  score %.3f  next %.3f  %-9s %s\n", what, ms,
              match.at.x, match.at.y, match.score, match.nextBest,
              match.found ? "found" : "NOT FOUND", goal);
}

}  // namespace

int main() {
#ifndef NDEBUG
  std::printf("  (built without optimisation: the figures below are not the tool's)\n");
#endif
  const Point at{1234, 567};
  const Image screen = ScreenWithButton(1920, 1080, at, 2024);
  const Image taught = Button();
  std::printf("  screen 1920 x 1080, about %d shapes; taught picture 48 x 48 at (%d, %d)\n",
              1920 * 1080 / 1500, at.x, at.y);

  Match quick, near, plain;
  const double quickMs = MedianMilliseconds(
      31, [&] { return FindPicture(screen, taught); }, quick);
  SearchHint hint;
  hint.taughtAt = Point{at.x - 20, at.y + 12};
  const double nearMs = MedianMilliseconds(
      31, [&] { return FindPicture(screen, taught, hint); }, near);
  const double plainMs = MedianMilliseconds(
      3, [&] { return FindPictureExhaustive(screen, taught); }, plain);

  std::printf("  median of 31 runs (plain: of 3)\n");
  Row("coarse to fine, whole screen", quickMs, quick, "goal <= 10 ms");
  Row("coarse to fine, near taught place", nearMs, near, "");
  Row("plain: every position, full size", plainMs, plain, "");
  std::printf("  speed-up over plain: %.0fx (whole screen), %.0fx (near)   goal >= 20x\n",
              plainMs / quickMs, plainMs / nearMs);
  std::printf("  same place as plain: %s\n",
              quick.at == plain.at && near.at == plain.at ? "yes" : "NO");
  return 0;
}
