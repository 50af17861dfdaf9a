// The identity of every control of the main window, named by what it is, in declaration
// order, and the events a control can raise. The form itself (geometry, texts, fonts, and
// the form designer's names) lives in app/form.cpp.
#pragma once

#include <cstdint>
#include <functional>

namespace pelloram {

// Declaration order matters: it is the stacking order (earlier lies above later) and the
// order in which the edit boxes are cleared (last to first). MainWindow is the window
// itself, not a child.
enum class Control : int {
  DeleteThanksButton,
  AddThanksButton,
  AddModeHelp,
  AddItemXCaption,
  AddItemX,
  AddItemYCaption,
  AddItemY,
  SentStickerXCaption,
  SentStickerX,
  SentStickerYCaption,
  SentStickerY,
  FileButtonXCaption,
  FileButtonX,
  FileButtonYCaption,
  FileButtonY,
  FileButtonPicture,
  NoteTip,
  AddStartButton,
  AddDelayCaption,
  AddDelay,
  AddModeFrame,
  AddModeOneRadio,
  AddModeTwoRadio,
  FolderCountLabel,
  ChooseFolderButton,
  FlashTimer,
  DeletePageFrame,
  DeleteModeOneRadio,
  DeleteModeTwoRadio,
  DeleteModeHelp,
  DeleteDelayCaption,
  DeleteDelay,
  DeleteItemXCaption,
  DeleteItemX,
  DeleteItemYCaption,
  DeleteItemY,
  WarningTip,
  StickerPanelPicture,
  StickerPanelXCaption,
  StickerPanelX,
  StickerPanelYCaption,
  StickerPanelY,
  CollectedTabPicture,
  CollectedTabXCaption,
  CollectedTabX,
  CollectedTabYCaption,
  CollectedTabY,
  FirstStickerXCaption,
  FirstStickerX,
  FirstStickerYCaption,
  FirstStickerY,
  DeleteCountCaption,
  DeleteCount,
  DeleteStartButton,
  DeleteModeFrame,
  JobPages,
  MainWindow,
};

inline constexpr int kChildControlCount = static_cast<int>(Control::MainWindow);

// What a control reports to the event table.
enum class Event : int {
  Created,         // main window created
  Destroying,      // main window being destroyed
  PageChanged,     // tab control's current page changed
  Clicked,         // button or radio button clicked
  ContentChanged,  // edit box text changed (typed or written)
  FocusLost,       // edit box lost the keyboard focus
  Tick,            // timer tick
};

// Where controls deliver their events; the app's event table sits behind it.
using EventSink = std::function<void(Control, Event)>;

}  // namespace pelloram
