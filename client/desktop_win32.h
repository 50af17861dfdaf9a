// The Desktop seam over Win32: the wide functions, text converted at the boundary.
// Kept free of <windows.h> so the entry point can include it without pulling it in.
#pragma once

#include "client/desktop.h"

namespace pelloram {

class Win32Desktop final : public Desktop {
 public:
  std::vector<WindowHandle> FindTopLevelWindows(std::string_view className,
                                                std::string_view title) override;
  bool IsWindowShown(WindowHandle window) override;
  bool IsWindowMinimised(WindowHandle window) override;
  std::uint32_t ProcessOf(WindowHandle window) override;
  WindowHandle TopLevelWindowAt(Point screen) override;
  std::vector<Monitor> Monitors() override;
  std::uint32_t OwnProcess() override;
  std::vector<WindowHandle> ShownWindowsOf(std::uint32_t process) override;
  bool FileExists(std::string_view path) override;
  bool FolderExists(std::string_view path) override;
  std::optional<std::string> ReadFileStart(std::string_view path, std::size_t bytes) override;
  std::string ReadFileNameBox(WindowHandle dialog) override;
  void ForEachFolderEntry(std::string_view folder, std::string_view pattern,
                          const FolderEntry& take) override;
  bool ReadWindowRect(WindowHandle window, Rect& rect) override;
  std::string WindowTitle(WindowHandle window) override;
  bool MoveWindowTo(WindowHandle window, int left, int top, int width, int height) override;
  bool ClientOriginToScreen(WindowHandle window, Point& origin) override;
  WindowHandle ForegroundWindow() override;
  bool BringToFront(WindowHandle window) override;

  bool ReadCursor(Point& screen) override;
  ClickResult Click(Point screen, MouseButton button) override;
  bool SendKey(int virtualKey, bool keyUp) override;

  // One attempt; PutTextOnClipboard does the retrying.
  bool PutClipboardText(WindowHandle owner, std::string_view text,
                        std::optional<std::string>* replaced) override;
  bool ClearClipboard(WindowHandle owner) override;

  std::uint32_t TickCount() override;
  void Sleep(int milliseconds) override;
  bool CaptureScreen(const Rect& area, Image& picture) override;

  PendingMessage PeekPending() override;
  void DispatchNext() override;
  PendingMessage RemoveAndDispatch(int& quitExitCode) override;
  void PostQuit(int exitCode) override;
  void WaitForMessage(int timeoutMilliseconds) override;
};

}  // namespace pelloram
