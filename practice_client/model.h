// The practice client's behaviour, without Win32: a stand-in for the chat client that
// reacts to clicks at the same places and writes a journal of everything it saw.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace practice {

// Going away on request, so that a test can take the client away in the middle of a run.
struct CloseAfter {
  std::string event;  // a journal event: "deleted", "added", "sent", ...; empty: never
  int times = 0;      // ends right after this many of them
};

struct Options {
  int stickerCount = 10;               // initial collection: sticker01.gif, sticker02.gif, ...
  std::vector<std::string> collected;  // or these names (file names), when not empty
  CloseAfter closeAfter;
  // How long the client takes to show what it did (its open dialog, menus and forward
  // window), plus up to jitterMs more drawn from seed: a slow or a fast client.
  int reactMs = 0;
  int jitterMs = 0;
  std::uint64_t seed = 1;
};

enum class Button : int { Left = 1, Right = 2 };

// Client-area coordinates of the main window (its client area is its whole window).
struct Pt {
  int x = 0;
  int y = 0;
};

// One journal line is one JSON object; the sink gets it without a trailing newline.
using JournalSink = std::function<void(const std::string& jsonLine)>;

// Upper bound of the initial collection, so a mistyped count cannot exhaust memory.
inline constexpr int kMaxInitialStickers = 10000;

class Model {
 public:
  // Journals a "start" line with the initial collection.
  Model(Options options, JournalSink journal);
  const Options& Settings() const;

  // Input to the main window.
  void Click(Pt at, Button button);
  void KeyDown(int virtualKey);  // Enter sends what the open dialog put into the input

  // The file-open dialog: the model asks for it (OpenDialogWanted) after a click on the
  // file button; the shell (or a test) shows it, then reports how it ended.
  bool OpenDialogWanted() const;
  void OpenDialogShown();
  void OpenDialogConfirmed(const std::string& path);  // UTF-8 full path as typed/pasted
  // The same, with whether the shell found a file at that path (journaled, nothing more).
  void OpenDialogConfirmed(const std::string& path, bool fileExists);
  void OpenDialogCancelled();
  void OpenDialogCancelled(unsigned long errorCode);  // the dialog failed rather than closed
  bool OpenDialogShowing() const;

  // The forward window: shown when an already collected sticker is added again.
  bool ForwardShowing() const;
  void ForwardKeyDown(int virtualKey);  // Escape closes it
  void ForwardClosed();                 // closed another way (its close box, Alt+F4)
  std::string ForwardStickerName() const;

  // What a person would see.
  const std::vector<std::string>& Collection() const;
  bool PanelOpen() const;
  bool CollectedTabShown() const;
  bool StickerMenuOpen() const;
  bool SentMenuOpen() const;
  std::string PendingInput() const;  // file name waiting in the chat input, "" if none
  const std::vector<std::string>& SentMessages() const;

  // The shell's part: the close box was clicked; the close-after event came (journaled as
  // "closing"), so the client ends at once, as a client that is killed does; the strip that
  // drags the frameless window.
  bool CloseWanted() const;
  bool EndWanted() const;
  bool InDragStrip(Pt at) const;

  // Layout for drawing (client coordinates, laid out for the 910 x 647 window).
  enum class Kind : int { Area, Title, Button, Tab, Cell, Message, Input, Menu, MenuItem, Text };
  struct Box {
    int left, top, right, bottom;
    std::string label;
    Kind kind = Kind::Area;
    bool active = false;  // a pressed toggle or the selected tab
  };
  std::vector<Box> VisibleBoxes() const;  // back to front

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace practice
