// A desktop in memory with a virtual clock. Waits advance the clock; user actions
// scheduled at virtual times are delivered when the code under test processes messages;
// every synthesised click and key is recorded with its time and screen position.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "client/desktop.h"

namespace pelloram::testing {

struct InputRecord {
  enum class Kind { Click, KeyDown, KeyUp } kind;
  std::uint32_t time;
  Point at;  // clicks: where the pointer was
  MouseButton button = MouseButton::Left;
  int key = 0;
  friend bool operator==(const InputRecord&, const InputRecord&) = default;
};

class FakeDesktop : public Desktop {
 public:
  struct Window {
    std::string className;
    std::string title;
    Rect rect;
    Point clientOffset;  // client origin relative to the window's top-left
    bool exists = true;
    bool shown = true;
    bool minimised = false;
    std::uint32_t process = kClientProcess;
    int z = 0;  // stacking: the highest lies on top
    // Draws what the window shows, every pixel, at its current size (the picture comes sized
    // to the rect, holding the window's last drawing). None: one plain colour of its own.
    std::function<void(Image& picture)> paint;
    // Raised by whoever changes what `paint` draws: a window is painted again only when its
    // size or this number changed since its last picture.
    std::uint64_t paintVersion = 0;
  };
  static constexpr std::uint32_t kClientProcess = 1;
  static constexpr std::uint32_t kToolProcess = 5;  // the tool's own windows

  // --- set-up and inspection ---
  // A new window lies above all others.
  WindowHandle AddWindow(std::string className, std::string title, Rect rect,
                         Point clientOffset = {}, std::uint32_t process = kClientProcess);
  void BringToTop(WindowHandle handle);
  Window& WindowAt(WindowHandle handle) { return windows_.at(handle); }
  void At(std::uint32_t time, std::function<void()> action);  // a user action at a time
  // What another program does by itself at a time (a client showing what it did): it also
  // happens while the tool's thread sleeps, when the tool's own messages wait.
  void AtByItself(std::uint32_t time, std::function<void()> action);
  std::uint32_t now = 1000;
  // The display monitors; one large screen unless a test lays out its own.
  std::vector<Monitor> monitors{Monitor{Rect{0, 0, 2560, 1600}}};
  Point cursor{700, 400};
  std::vector<InputRecord> inputs;
  std::vector<WindowHandle> moved;  // windows moved, in order
  bool windowsStayPut = false;      // moves are taken but change nothing (a maximised window)
  std::string clipboard;
  bool clipboardHasText = true;  // false: it holds something else, or nothing
  int clipboardRefusals = 0;     // the next N clipboard attempts fail (held elsewhere)
  std::map<std::string, int> clipboardRefusalsFor;  // the same, for one text only
  int clipboardAttempts = 0;
  int dispatched = 0;  // messages dispatched so far
  bool quitPosted = false;
  WindowHandle foreground = 0;    // 0: the topmost shown window
  bool refuseForeground = false;  // BringToFront is not granted
  bool refuseInput = false;  // the system takes no clicks or keys (a client with higher rights)
  // The next N clicks find the pointer held elsewhere (a clip rectangle): nothing pressed.
  int divertedClicks = 0;
  // Runs inside each click, before the seam moves the pointer: where the user's hand can
  // come between the tool's checks and its click.
  std::function<void()> beforeClick;
  std::set<std::string> missingFiles;    // every other path names an existing file
  std::set<std::string> missingFolders;  // every other path names an existing folder
  // What a file starts with; a file not named here is a GIF.
  std::map<std::string, std::string> fileStarts;
  // Sees every click and key before anything reacts to it.
  std::function<void(const InputRecord&)> onInput;
  int waits = 0;                  // how often the code under test blocked waiting for a message
  bool screenUnreadable = false;  // CaptureScreen fails (a locked or secure desktop)
  // How long the screen lags a window's move or resize: for this many virtual ms after it,
  // CaptureScreen still shows the window at its old rectangle with its old picture, while
  // ReadWindowRect and TopLevelWindowAt already tell the new place (a compositor that has
  // not yet drawn the frame). 0: the screen shows every change at once.
  int screenLagMs = 0;
  int captures = 0;                 // pictures of the screen taken
  std::uint32_t lastCaptureAt = 0;  // when the last picture of the screen was taken
  int paints = 0;                   // windows painted for them (the rest came from the cache)
  bool ActionsLeft() const { return !actions_.empty(); }
  // Lets a client model react to input and decide which windows exist.
  std::function<void(Point screen, MouseButton)> onClick;
  std::function<void(int key, bool up)> onKey;
  // Told of each window MoveWindowTo moved, after the move (a client that follows its
  // monitor's scale lays itself out anew).
  std::function<void(WindowHandle)> onMoved;

  std::vector<InputRecord> Clicks() const;
  std::vector<InputRecord> Keys() const;
  std::vector<Point> ClickPoints() const;  // where each click landed, in order

  // --- Desktop ---
  std::vector<WindowHandle> FindTopLevelWindows(std::string_view className,
                                                std::string_view title) override;
  bool IsWindowShown(WindowHandle window) override;
  bool IsWindowMinimised(WindowHandle window) override;
  bool WindowExists(WindowHandle window);
  std::uint32_t ProcessOf(WindowHandle window) override;
  WindowHandle TopLevelWindowAt(Point screen) override;
  std::vector<Monitor> Monitors() override { return monitors; }
  std::uint32_t OwnProcess() override { return kToolProcess; }
  std::vector<WindowHandle> ShownWindowsOf(std::uint32_t process) override;
  bool ReadWindowRect(WindowHandle window, Rect& rect) override;
  std::string WindowTitle(WindowHandle window) override;
  bool MoveWindowTo(WindowHandle window, int left, int top, int width, int height) override;
  bool ClientOriginToScreen(WindowHandle window, Point& origin) override;
  WindowHandle ForegroundWindow() override;
  bool BringToFront(WindowHandle window) override;
  bool ReadCursor(Point& screen) override;
  ClickResult Click(Point screen, MouseButton button) override;
  bool SendKey(int virtualKey, bool keyUp) override;
  bool PutClipboardText(WindowHandle owner, std::string_view text,
                        std::optional<std::string>* replaced) override;
  bool ClearClipboard(WindowHandle owner) override;
  // The host's own folders, through std::filesystem; the pattern is left to the caller.
  void ForEachFolderEntry(std::string_view folder, std::string_view pattern,
                          const FolderEntry& take) override;
  bool FileExists(std::string_view path) override;
  bool FolderExists(std::string_view path) override;
  std::optional<std::string> ReadFileStart(std::string_view path, std::size_t bytes) override;
  std::string ReadFileNameBox(WindowHandle dialog) override { return fileNameBoxes[dialog]; }
  std::map<WindowHandle, std::string> fileNameBoxes;  // what each dialog's box holds
  std::uint32_t TickCount() override { return now; }
  void Sleep(int milliseconds) override;
  bool CaptureScreen(const Rect& area, Image& picture) override;
  std::vector<int> sleeps;  // each blocking sleep, in milliseconds
  PendingMessage PeekPending() override;
  void DispatchNext() override;
  PendingMessage RemoveAndDispatch(int& quitExitCode) override;
  void PostQuit(int exitCode) override;
  void WaitForMessage(int timeoutMilliseconds) override;

 private:
  bool ActionDue() const;
  // Parts of a picture off every monitor come out black, as on a real screen.
  void BlackenOffScreen(const Rect& area, Image& picture) const;
  bool ActionDue(std::uint32_t time) const;
  struct Painted {
    int width = 0;
    int height = 0;
    std::uint64_t version = 0;
    bool painter = false;
    Image picture;
  };
  const Image& PictureOf(WindowHandle handle, const Window& window);
  // With a lag, notes each window whose rectangle changed since it was last looked at: the
  // screen keeps what it showed of it until the lag has passed. Called after whatever can
  // move a window (a user action, a reaction to a click or key, a move), so the lag runs
  // from the change, not from the next picture.
  void NoteMoves();
  struct Stale {
    Rect rect;      // where the screen still shows the window
    Image picture;  // and what it shows there
    std::uint32_t since = 0;
  };
  std::map<WindowHandle, Rect> seenAt_;  // each window's rectangle when last noted
  std::map<WindowHandle, Stale> stale_;
  std::map<WindowHandle, Window> windows_;
  std::map<WindowHandle, Painted> painted_;
  WindowHandle nextHandle_ = 0x100;
  int nextZ_ = 0;
  std::multimap<std::uint32_t, std::function<void()>> actions_;
  std::set<const void*> byItself_;  // the actions of actions_ that run even during Sleep
  int quitCode_ = 0;
};

}  // namespace pelloram::testing
