// Why a run ends before its work is done: each reason has its own message
// (workflows/run_report.h), and Run::Stop decides which one applies.
#pragma once

namespace pelloram {

enum class StopReason : int {
  None,
  ClientGone,        // the client's main window no longer exists
  PointOffClient,    // the window under the point is not one of the client's
  ClientNotInFront,  // a key would go to a window that is not the client's
  InputRefused,      // the system did not take the input (the client runs with higher rights)
  NoMenu,            // a right click brought up no menu: nothing is where the point says
  NoReaction,        // the client did not do what a step asks of it within its limit
  OffMenu,           // a menu item's point does not lie on the menu that came up
  ClientMoved,       // the client's window moved while its menu was open
  UserMoved,         // the user moved the mouse during the run: the run pauses
  ClickMissed,       // the pointer could not be put on the point, so nothing was pressed
  PlacementFailed,   // mode one could not put the client's window where its points are
  ClientHidden,      // the client's main window is hidden (closed to the tray)
  ClientMinimised,   // the client's main window is minimised to the task bar
  FolderGone,        // the chosen sticker folder is gone
  StrangeWindow,     // the client brought up a window the run does not know (see its title)
  LookNotFound,      // a control taught by its look is nowhere clearly on the client's windows
  ScreenUnreadable,  // the screen could not be read to find a taught control
  PointCleared,      // a point's fields are empty (emptied by a page or mode change meanwhile)
  OffScreen,         // the point to click lies off every monitor
  ToolInTheWay,      // the tool's own window covers the point to click
};

}  // namespace pelloram
