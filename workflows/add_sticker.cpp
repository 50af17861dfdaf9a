#include "workflows/add_sticker.h"

#include <optional>

#include "client/chat_client.h"
#include "client/input.h"
#include "client/waits.h"
#include "workflows/sticker_folder.h"

namespace pelloram {
namespace {

constexpr std::string_view kAlreadyCollectedMessage = "添加失败！已有此表情....\r\n继续下一个！";
// A file dialog shows an error box over itself for a path it cannot open; one Escape
// closes that box, the next the dialog.
constexpr int kEscapesToCloseDialog = 3;

// What the client would send as a sticker: a file that starts like a GIF. One that cannot
// be read at all is left to the open dialog, which says so itself.
bool LooksLikeAGif(Desktop& desktop, const std::string& path) {
  const std::optional<std::string> start = desktop.ReadFileStart(path, 6);
  return !start || *start == "GIF87a" || *start == "GIF89a";
}

// Escape until the open dialog is gone, so the next sticker starts from a clean client.
// False when the run must end.
bool CloseOpenDialog(Run& run) {
  for (int i = 0; i < kEscapesToCloseDialog && FindOpenDialog(run.tool().desktop) != 0; ++i) {
    if (!run.Key(vk::kEscape, run.delay())) return false;
  }
  return true;
}

Outcome Skipped(Run& run, SkipReason reason) {
  run.Skip(reason);
  return Outcome::Skipped;
}

// A step whose effect never showed: the sticker is skipped, unless the client itself went
// away, which ends the run.
Outcome SkipUnlessGone(Run& run, SkipReason reason) {
  const StopReason state = run.ClientState();
  if (state == StopReason::None) return Skipped(run, reason);
  run.Stop(state);
  return Outcome::Ended;
}

// A step that failed on the dialog: closed, so the next sticker starts from a clean client.
Outcome SkipWithDialogClosed(Run& run, Awaited awaited, SkipReason reason) {
  if (awaited == Awaited::Stopped) return Outcome::Ended;
  if (SkipUnlessGone(run, reason) == Outcome::Ended) return Outcome::Ended;
  return CloseOpenDialog(run) ? Outcome::Skipped : Outcome::Ended;
}

// The open dialog did not come in time. It may still come: the file button is not clicked
// again until it has had as long once more, and a dialog that comes late is closed, never
// used for the next file.
Outcome SkipMissingDialog(Run& run) {
  if (SkipUnlessGone(run, SkipReason::NoDialog) == Outcome::Ended) return Outcome::Ended;
  Desktop& desktop = run.tool().desktop;
  if (!run.AwaitAtMost(run.ObservedLimit(), [&] { return FindOpenDialog(desktop) != 0; })) {
    return run.Ended() ? Outcome::Ended : Outcome::Skipped;
  }
  run.Opened(FindOpenDialog(desktop));
  return CloseOpenDialog(run) ? Outcome::Skipped : Outcome::Ended;
}

}  // namespace

// The forward window tells of a sticker the client had collected before: said in a tip,
// then closed. True when it was up.
bool DismissForwardWindow(Run& run) {
  Desktop& desktop = run.tool().desktop;
  const WindowHandle client = run.Client();
  run.Opened(FindForwardWindow(desktop, client));
  if (FindForwardWindow(desktop, client) == 0) return false;
  if (!run.Wait(run.delay())) return true;
  // Moved aside, off the client's controls, at the size the client gives it at the scale of
  // the monitor it is moved to; one that stays put is closed all the same.
  constexpr Point kAside{chat::kForwardLeft, chat::kForwardTop};
  const Point size =
      Scaled(Point{chat::kForwardWidth, chat::kForwardHeight}, DpiAt(desktop.Monitors(), kAside));
  static_cast<void>(
      desktop.MoveWindowTo(FindForwardWindow(desktop, client), kAside.x, kAside.y, size.x, size.y));
  run.tool().ui.ShowBalloonTip(Control::NoteTip, ReadCursorPoint(desktop), kAlreadyCollectedMessage,
                               true);
  if (!run.Wait(run.delay()) || !run.Key(vk::kEscape, 0)) return true;
  const Awaited closed = run.Await([&] { return FindForwardWindow(desktop, client) == 0; });
  if (closed == Awaited::TimedOut) run.Stop(StopReason::NoReaction);
  return true;
}

namespace {

// The sent sticker's menu, and its add item clicked. A move of the client's window while
// the menu is open closes it and right-clicks again.
Outcome ChooseAddItem(Run& run, WindowHandle& menu) {
  for (;;) {
    if (!run.RightClickForMenu(JobPointId::SentSticker, menu)) {
      // No menu on the sent sticker: it cannot be added, but the next one may be.
      return run.Forgive(StopReason::NoMenu) ? SkipUnlessGone(run, SkipReason::NoMenu)
                                             : Outcome::Ended;
    }
    if (run.ClickMenuItem(JobPointId::AddItem, menu)) return Outcome::Added;
    if (run.CloseMenuMovedAway(menu)) continue;
    // An item that cannot be found in the menu: the menu is closed, the sticker skipped.
    if (!run.SkipNotFound()) return Outcome::Ended;
    return run.Key(vk::kEscape, 0) && run.AwaitMenuGone(menu) ? Outcome::Skipped : Outcome::Ended;
  }
}

}  // namespace

// The sent sticker's menu and its add item. The menu closing shows the client took the
// click; a forward window, which tells of a sticker collected before, comes with it or
// soon after.
Outcome AddSentSticker(Run& run) {
  WindowHandle menu = 0;
  if (const Outcome chosen = ChooseAddItem(run, menu); chosen != Outcome::Added) return chosen;
  if (!run.AwaitMenuGone(menu)) return Outcome::Ended;
  // The client took the add item: what it did is counted even when a pause comes now.
  Desktop& desktop = run.tool().desktop;
  const WindowHandle client = run.Client();
  run.AwaitAtMost(run.delay(), [&] { return FindForwardWindow(desktop, client) != 0; });
  // A client gone meanwhile cannot tell whether it took the sticker: not counted as added.
  if (const StopReason state = run.ClientState(); state != StopReason::None) {
    run.Stop(state);
    return Outcome::Ended;
  }
  // The add item may also bring up a window the run does not know (a notice of the newer
  // client's): nothing more is clicked under it.
  const bool already = DismissForwardWindow(run);
  if (!run.Ended()) run.StopAtStrangeWindow();
  if (run.fault() != StopReason::None || run.tool().state.closing) return Outcome::Ended;
  return already ? Outcome::AlreadyCollected : Outcome::Added;
}

namespace {

// Paste (the path shows in the dialog's file-name box), open (the dialog goes; one still
// up refused the path: the file went away, or cannot be read), send, then add.
Outcome SendThroughDialog(Run& run, const std::string& path, bool& sent) {
  Desktop& desktop = run.tool().desktop;
  const WindowHandle dialog = FindOpenDialog(desktop);
  if (!run.Chord(vk::kControl, vk::kV, 0)) return Outcome::Ended;
  const Awaited pasted = run.Await([&] { return desktop.ReadFileNameBox(dialog) == path; });
  if (pasted != Awaited::Ready) {
    return SkipWithDialogClosed(run, pasted, SkipReason::ClipboardBusy);
  }
  if (!run.Key(vk::kReturn, 0)) return Outcome::Ended;
  const Awaited opened = run.Await([&] { return FindOpenDialog(desktop) == 0; });
  if (opened != Awaited::Ready) {
    return SkipWithDialogClosed(run, opened, SkipReason::DialogRefused);
  }
  if (!run.Key(vk::kReturn, 0)) return Outcome::Ended;
  sent = true;  // in the chat now: never sent again in this pass, also after a pause now
  if (!run.Wait(run.delay())) return Outcome::Ended;
  return AddSentSticker(run);
}

// A dialog left up (one that came after its file was given up) would take this file's
// path: it is closed before the file button is clicked.
bool NoDialogLeftUp(Run& run) {
  const WindowHandle left = FindOpenDialog(run.tool().desktop);
  if (left == 0) return true;
  run.Opened(left);
  return CloseOpenDialog(run) && FindOpenDialog(run.tool().desktop) == 0;
}

}  // namespace

// One sticker: the path onto the clipboard, the file button, then the dialog.
Outcome AddOneSticker(Run& run, const std::string& path, bool& sent) {
  Desktop& desktop = run.tool().desktop;
  // Checked first, so a file removed since the folder was chosen leaves nothing to undo;
  // with its whole folder gone, every file after it is gone too.
  if (!desktop.FileExists(path)) {
    if (desktop.FolderExists(FolderOf(path))) return Skipped(run, SkipReason::FileGone);
    run.Stop(StopReason::FolderGone);
    return Outcome::Ended;
  }
  if (!LooksLikeAGif(desktop, path)) return Skipped(run, SkipReason::NotAGif);
  if (!NoDialogLeftUp(run)) return Outcome::Ended;
  // A clipboard another program holds would paste stale content: skip this sticker
  // before opening anything.
  const bool onClipboard = run.PutOnClipboard(path);
  if (run.Ended()) return Outcome::Ended;
  if (!onClipboard) return Skipped(run, SkipReason::ClipboardBusy);
  if (!run.Click(JobPointId::FileButton, 0)) {
    return run.SkipNotFound() ? Outcome::Skipped : Outcome::Ended;
  }
  ProcessPendingEvents(desktop);
  const Awaited dialog = run.Await([&] { return FindOpenDialog(desktop); });
  if (dialog == Awaited::Stopped) return Outcome::Ended;
  if (dialog == Awaited::TimedOut) return SkipMissingDialog(run);
  run.Opened(FindOpenDialog(desktop));
  return SendThroughDialog(run, path, sent);
}

}  // namespace pelloram
