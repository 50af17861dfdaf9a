// Runs of stickers on the virtual clock against the practice client's model, by the tool
// (which watches the client) or by a blind replay with every wait fixed at the delay. Shared
// by the run benchmark and by the find benchmark, which sets a sticker's time beside the
// time spent finding its controls.
#pragma once

namespace pelloram::testing {

inline constexpr int kStickers = 20;
// The delay both pages start with, and the one a mode-two addition falls back to.
inline constexpr int kDelayMs = 500;

struct Figures {
  double secondsPerSticker;  // virtual time
  int lost;
};

// `reactMs`: how long the practice client takes to show its dialog, menus and windows.
Figures AddRun(int reactMs, bool fixed);
Figures DeleteRun(int reactMs, bool fixed);

}  // namespace pelloram::testing
