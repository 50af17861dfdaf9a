// What the tool checks right before each click and key of a run, so that nothing is ever
// clicked or typed into another program.
#pragma once

#include "client/desktop.h"

namespace pelloram {

enum class TargetFault : int {
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

// The client's main window exists, and the top-level window under the screen point belongs
// to the client's process (its main window, a dialog or a menu of it).
TargetFault CheckClickTarget(Desktop& desktop, WindowHandle client, Point screen);
// The client's main window exists and the foreground window belongs to its process.
TargetFault CheckKeyTarget(Desktop& desktop, WindowHandle client);

// The client's shown windows, to tell the menu that a right click brings up: a window of
// the client's process that was not there before, and that opened at the clicked point
// (not some other window of the client's that came up late meanwhile).
std::vector<WindowHandle> ClientWindows(Desktop& desktop, WindowHandle client);
WindowHandle NewWindowAt(Desktop& desktop, const std::vector<WindowHandle>& before,
                         const std::vector<WindowHandle>& after, Point clicked);

}  // namespace pelloram
