// What the tool relies on about the chat client: its windows, the mode-one rectangle,
// the built-in points (client coordinates at 96 dpi) and the menu offsets. Nothing else
// in the tool hard-codes these.
#pragma once

#include <string_view>

#include "services/types.h"

namespace pelloram::chat {

inline constexpr std::string_view kMainClass = "WeChatMainWndForPC";
inline constexpr std::string_view kMainTitle = "微信";
inline constexpr std::string_view kOpenDialogClass = "#32770";
inline constexpr std::string_view kOpenDialogTitle = "打开";
inline constexpr std::string_view kForwardClass = "SelectContactWnd";
inline constexpr std::string_view kForwardTitle = "转发给";
inline constexpr std::string_view kDesktopClass = "Progman";
inline constexpr std::string_view kDesktopTitle = "Program Manager";

// Outer rectangle of the client's main window in mode one.
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
