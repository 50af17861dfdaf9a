// What the tool relies on about the chat client: its windows, the mode-one rectangle,
// the built-in points (client coordinates at 96 dpi) and the menu offsets. Nothing else
// in the tool hard-codes these.
#pragma once

#include <array>
#include <string_view>

#include "services/types.h"

namespace pelloram::chat {

// The classic client draws its own windows; the newer generation is a Qt program.
enum class Generation : int { Classic, Qt };

struct MainWindowKind {
  std::string_view className;
  std::string_view title;
  Generation generation;
};

// The client's main windows the tool knows, the classic one first: with both running, the
// classic one is used. A Qt program keeps hidden top-level windows of the same class, so
// only a shown window counts.
inline constexpr std::array<MainWindowKind, 3> kMainWindows{{
    {"WeChatMainWndForPC", "微信", Generation::Classic},
    {"Qt51514QWindowIcon", "微信", Generation::Qt},
    {"Qt51514QWindowIcon", "Weixin", Generation::Qt},
}};

// The system's own file dialog, the same for both generations.
inline constexpr std::string_view kOpenDialogClass = "#32770";
inline constexpr std::string_view kOpenDialogTitle = "打开";
// Matched by title among the client's own windows, whatever its class: the classic
// client's, then the newer one's.
inline constexpr std::array<std::string_view, 2> kForwardTitles{"转发给", "微信发送给"};
// The newer client's sticker panel is a popup window of its own; every other small window
// of the client's besides its dialog and forward window is one of its menus.
inline constexpr std::string_view kStickerPanelClass = "Qt51514QWindowPopupDropShadowSaveBits";

// Outer rectangle of the client's main window in mode one, and the built-in points below:
// both are the classic client's layout.
inline constexpr int kModeOneLeft = 0;
inline constexpr int kModeOneTop = 0;
inline constexpr int kModeOneWidth = 910;
inline constexpr int kModeOneHeight = 647;

// Where the forward window is put when it comes up.
inline constexpr int kForwardLeft = 0;
inline constexpr int kForwardTop = 0;
inline constexpr int kForwardWidth = 550;
inline constexpr int kForwardHeight = 485;

// Delete job, mode one.
inline constexpr Point kStickerPanelButton{340, 525};
inline constexpr Point kCollectedTab{220, 460};
inline constexpr Point kFirstSticker{175, 210};
inline constexpr Point kDeleteItem{213, 259};

// Add job, mode one.
inline constexpr Point kFileButton{373, 526};
inline constexpr Point kSentSticker{799, 459};
inline constexpr Point kAddItem{829, 474};

// Context-menu offsets from the right-clicked point.
inline constexpr Point kAddItemOffset{30, 15};
inline constexpr Point kDeleteItemOffset{30, 50};

}  // namespace pelloram::chat
