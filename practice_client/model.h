// The practice client's behaviour, without Win32: a stand-in for the chat client that
// reacts to clicks at the same places and writes a journal of everything it saw.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace practice {

// Going away on request, so that a test can take the client away in the middle of a run.
struct CloseAfter {
  std::string event;  // a journal event: "deleted", "added", "sent", ...; empty: never
  int times = 0;      // ends right after this many of them
};

// A move or resize of the main window on request, after the N-th journal line of an event,
// so that a test can change the window under a run.
struct WindowChange {
  CloseAfter after;  // the event and its count; empty event: never
  int x = 0;         // the new top-left corner on the screen, or the new width and height
  int y = 0;
};

// The window's size when none is asked for, and the sizes it accepts. The model knows only
// 96-dpi ("logical") units; the shell shows them times its monitor's scale (screen_scale.h).
inline constexpr int kDefaultWidth = 910;
inline constexpr int kDefaultHeight = 647;
inline constexpr int kMinWidth = 640;
inline constexpr int kMinHeight = 520;
inline constexpr int kMaxSide = 8192;

struct Options {
  int stickerCount = 10;               // initial collection: sticker01.gif, sticker02.gif, ...
  std::vector<std::string> collected;  // or these names (file names), when not empty
  CloseAfter closeAfter;
  WindowChange moveAfter;
  WindowChange resizeAfter;
  int width = kDefaultWidth;  // of the main window, which is all client area
  int height = kDefaultHeight;
  // Controls drawn with another picture than their own ("sticker_button" -> "other"), so a
  // test can show the tool a control it no longer recognises.
  std::map<std::string, std::string> looks;
  // How long the client takes to show what it did (its open dialog, menus and forward
  // window), plus up to jitterMs more drawn from seed: a slow or a fast client.
  int reactMs = 0;
  int jitterMs = 0;
  std::uint64_t seed = 1;
};

enum class Button : int { Left = 1, Right = 2 };

// Client-area coordinates of the main window (its client area is its whole window), in
// 96-dpi units.
struct Pt {
  int x = 0;
  int y = 0;
};

// Half-open pixel rectangle [left, right) x [top, bottom).
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool Has(Pt p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  Rect Offset(Pt p) const { return {left + p.x, top + p.y, right + p.x, bottom + p.y}; }
  bool operator==(const Rect&) const = default;
};

// Where everything of the main window lies at a window size, laid out as chat clients do:
// the conversation list keeps its width, the chat area takes the rest; the input toolbar
// sits at the lower left of the chat area a fixed distance above the bottom, the sticker
// panel above the sticker button, own messages at the right of the chat area.
struct Layout {
  Rect titleStrip, closeBox, sidebar, chatList, chatHeader;
  Rect toolbar, stickerButton, fileButton, inputArea;
  Rect panel, defaultTab, collectedTab, grid;  // grid: the collection, first cell top left
  Rect newestMessage;                          // older messages stack upwards from it
};
inline constexpr int kCell = 50;  // one sticker of the panel's grid
inline constexpr int kMessagePitch = 90;
// Sizes outside [kMin, kMaxSide] are taken as the nearest one inside.
Layout LayoutFor(int width, int height);

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

  // The main window's size changed (the shell's WM_SIZE): lays out again, journals
  // "resized" when the size is new.
  void Resize(int width, int height);
  int Width() const;
  int Height() const;
  // A move or resize asked for by --move-after / --resize-after that has come due; the shell
  // takes it once, carries it out and reports the move (journaled as "moved").
  struct WindowRequest {
    bool move = false;
    Pt to;
    bool resize = false;
    Pt size;  // x: width, y: height
  };
  WindowRequest TakeWindowRequest();
  void Moved(int left, int top);

  // The shell's part: the close box was clicked; the close-after event came (journaled as
  // "closing"), so the client ends at once, as a client that is killed does; the strip that
  // drags the frameless window.
  bool CloseWanted() const;
  bool EndWanted() const;
  bool InDragStrip(Pt at) const;

  // Layout for drawing (client coordinates of the main window at its current size).
  enum class Kind : int { Area, Title, Button, Tab, Cell, Message, Input, Menu, MenuItem, Text };
  // What is drawn in a box besides its fill and label: a line picture of the client's own
  // for the controls (control_pictures.h), or a sticker's own image, made from its name.
  enum class Picture : int { None, SmilingFace, Heart, Folder, Sticker };
  // Which window shows a box: the main window, the sticker panel (a popup of its own in the
  // newer client), or the open context menu (always a popup of its own).
  enum class Layer : int { Window, Panel, Menu };
  struct Box {
    int left, top, right, bottom;
    std::string label;
    Kind kind = Kind::Area;
    bool active = false;  // a pressed toggle or the selected tab
    Picture picture = Picture::None;
    std::string look;  // the picture's variant: "" for its own, "other" for a strange one
    Layer layer = Layer::Window;
    bool textured = false;  // a background with a grain, not a plain colour
  };
  std::vector<Box> VisibleBoxes() const;  // back to front

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace practice
