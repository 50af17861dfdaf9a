// The Desktop seam: everything the tool does to the world outside its own window.
// Implemented over Win32 in desktop_win32.cpp and by a fake with a virtual clock in the
// unit tests.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/monitors.h"
#include "services/image.h"
#include "services/types.h"

namespace pelloram {

enum class MouseButton : int { Left = 1, Right = 2 };

// What became of a click.
enum class ClickResult : int {
  Done,     // pressed and released at the point; the pointer is back where it was
  Refused,  // the system took fewer events than given: it refuses input to a program
            // that runs with higher rights than this one
  Missed,   // the pointer cannot be put exactly on the point (off every screen, or held
            // inside a clip rectangle): nothing was pressed
};

// What the thread's message queue holds next.
enum class PendingMessage : int { None, Quit, Other };

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Top-level windows by exact class and title, an empty text matching any; shown or not,
  // the top of the stacking order first.
  virtual std::vector<WindowHandle> FindTopLevelWindows(std::string_view className,
                                                        std::string_view title) = 0;
  // Whether the window exists and is shown (a closing dialog may linger hidden).
  virtual bool IsWindowShown(WindowHandle window) = 0;
  // Shown, but only as a button on the task bar.
  virtual bool IsWindowMinimised(WindowHandle window) = 0;
  // The process that owns the window; 0 when the window is gone.
  virtual std::uint32_t ProcessOf(WindowHandle window) = 0;
  // The top-level window that a click at the screen point would reach; 0 for none.
  virtual WindowHandle TopLevelWindowAt(Point screen) = 0;
  // The shown top-level windows of a process: its main window, dialogs and popup menus.
  virtual std::vector<WindowHandle> ShownWindowsOf(std::uint32_t process) = 0;
  virtual bool ReadWindowRect(WindowHandle window, Rect& rect) = 0;
  virtual std::string WindowTitle(WindowHandle window) = 0;
  // Moves and sizes a window with repaint, without activating it.
  virtual bool MoveWindowTo(WindowHandle window, int left, int top, int width, int height) = 0;
  // Screen position of the window's client origin; false (origin untouched) on failure.
  virtual bool ClientOriginToScreen(WindowHandle window, Point& origin) = 0;
  virtual WindowHandle ForegroundWindow() = 0;
  // Asks for the window to be brought to the front; the system grants it to the program in
  // front (the tool, as the user closes it). False when it was not granted.
  virtual bool BringToFront(WindowHandle window) = 0;
  // The display monitors: their rectangles in virtual-screen coordinates (the primary's
  // top-left at (0, 0); others may lie left of or above it, with gaps between them) and
  // their scales. Empty when they cannot be read.
  virtual std::vector<Monitor> Monitors() = 0;
  // This program's own process: its windows (the main window, tips, boxes) are never the
  // client's, nor what a picture of the client's controls may show.
  virtual std::uint32_t OwnProcess() = 0;

  // The screen's pixels in the rectangle (virtual-screen coordinates) as the user sees
  // them, every window drawn where it lies; parts off every screen come out black. False,
  // with the picture untouched, when the screen cannot be read (a locked desktop, a
  // secure desktop in front, a failed copy).
  virtual bool CaptureScreen(const Rect& area, Image& picture) = 0;

  // The one place the pointer is read, for the runs and for F10 alike.
  virtual bool ReadCursor(Point& screen) = 0;
  // One act: the pointer to the screen point, press and release there, the pointer back,
  // given to the system as one sequence that no other input can come between. So the
  // press lands exactly where the caller checked, whatever the user does with the mouse.
  virtual ClickResult Click(Point screen, MouseButton button) = 0;
  // One key event; false when the system did not take it (see ClickResult::Refused).
  virtual bool SendKey(int virtualKey, bool keyUp) = 0;

  // Replaces the clipboard's content with the text (UTF-8). False when the clipboard
  // could not be taken (held by another program) or the data was refused.
  // With `replaced`, the text it held before (nothing when it held none) is read while
  // the clipboard is open for the change, so no other program can come between.
  virtual bool PutClipboardText(WindowHandle owner, std::string_view text,
                                std::optional<std::string>* replaced) = 0;
  // Empties the clipboard; false when it could not be taken.
  virtual bool ClearClipboard(WindowHandle owner) = 0;

  // The system's directory search of folder + pattern ("*.gif"), entry by entry, in the
  // order the system returns them; nothing when the folder cannot be searched. `folder`
  // ends with its separator.
  using FolderEntry = std::function<void(std::string_view name, bool isDirectory)>;
  virtual void ForEachFolderEntry(std::string_view folder, std::string_view pattern,
                                  const FolderEntry& take) = 0;
  // The text of a file dialog's file-name box; empty when it has none.
  virtual std::string ReadFileNameBox(WindowHandle dialog) = 0;
  // Whether a file (not a folder) exists at the full path.
  virtual bool FileExists(std::string_view path) = 0;
  virtual bool FolderExists(std::string_view path) = 0;
  // The first bytes of a file, fewer when it is shorter; nothing when it cannot be read
  // (gone, or held open by another program).
  virtual std::optional<std::string> ReadFileStart(std::string_view path, std::size_t bytes) = 0;

  virtual std::uint32_t TickCount() = 0;
  // Blocks the thread, handling nothing. Only for the clean-up at a run's end while the
  // tool closes (see Run::PauseForClient), 20 ms at a time.
  virtual void Sleep(int milliseconds) = 0;

  // The thread's message queue.
  virtual PendingMessage PeekPending() = 0;  // leaves the message queued
  virtual void DispatchNext() = 0;           // takes one message and handles it
  // Removes one message (PM_REMOVE). None: the queue was empty. Quit: a quit request was
  // removed, its exit code stored, nothing dispatched. Other: the message was dispatched.
  virtual PendingMessage RemoveAndDispatch(int& quitExitCode) = 0;
  virtual void PostQuit(int exitCode) = 0;
  // Blocks until a message may be waiting or the timeout has passed, dispatching nothing.
  virtual void WaitForMessage(int timeoutMilliseconds) = 0;
};

}  // namespace pelloram
