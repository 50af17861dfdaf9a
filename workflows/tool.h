// The program-wide state and the context every operation works in.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "client/desktop.h"
#include "services/convert.h"
#include "services/hotkeys.h"
#include "services/ui.h"
#include "workflows/job_points.h"
#include "workflows/taught_look.h"

namespace pelloram {

// What the delete page's start/pause button offers. The caption and the meaning of the
// next press always change together (ShowDeleteButton).
enum class DeleteButton : int {
  Start,               // "开始": the next press starts a run; a run still executing winds down
  Pause,               // "暂停": a run goes on while this shows; the next press pauses it, or
                       // after a run that ended without finishing, only resets to Start
  Finished,            // "给我删": the count reached 0; the next press only resets to Start
  FinishedAfterPause,  // "给我删" after a pause let the last deletion finish: the next press
                       // starts again
};

// Files skipped for one reason, named in the order the run came to them.
struct SkipGroup {
  std::string reason;
  std::vector<std::string> files;
};

// What an add run did with its files, for the message that ends it.
struct AddTally {
  int added = 0;
  int alreadyCollected = 0;
  std::vector<std::string> skipped;  // file names, in order
  int notReached = 0;                // files the run did not get to
  std::vector<SkipGroup> skips;      // the skipped files by reason, each reason once
};

// An add run that paused (F11, or the user's hand on the mouse): the next start goes on
// from here, so no sticker goes into the chat twice and the end sums up the folder once.
struct PausedAdd {
  std::vector<std::string> files;   // the list the pass began with
  std::size_t next = 0;             // the first file the client has not taken
  bool nextIsSent = false;          // it is in the chat already, to be added from there
  std::uint32_t clientProcess = 0;  // the client whose chat it is in
  AddTally tally;                   // what the pass did until the pause
  Mode mode = Mode::One;            // the add page's mode the pass ran in
};

// What outlives a run. State flows one way: the user's typing reaches it through the field
// rules; a run reads what it needs once, at its start gate, and shows what it does in the
// fields. What a run needs only while it lives is the run's own (workflows/run.h).
struct RunState {
  DeleteButton deleteButton = DeleteButton::Start;
  std::int32_t f10HotkeyId = 0;
  std::int32_t f11HotkeyId = 0;
  std::int32_t deleteCaptureStep = 0;
  std::int32_t addCaptureStep = 0;
  // Kept in step with their fields while the user types; a delete run lowers the count by
  // writing its field.
  std::int32_t remainingCount = 0;
  std::int32_t addDelayMs = 0;
  std::vector<std::string> stickerFiles;  // full paths, UTF-8
  // Forgotten when the folder, the page or the add page's mode changes; each such change
  // counts in `addPassResets`, so a pass paused after one (during its own run) is not kept.
  std::optional<PausedAdd> pausedAdd;
  std::uint32_t addPassResets = 0;
  // The client's menu that a run's right click brought up last: one left open (a run that
  // stopped before its item was clicked) must never take a click meant for the client.
  WindowHandle lastMenu = 0;
  // What F10 taught of each point (by JobPointId), for as long as the tool runs; its owner is
  // workflows/points.h: a point edited by hand forgets it.
  std::array<std::optional<TaughtLook>, kJobPointCount> looks{};
  std::optional<TaughtLook>& LookOf(JobPointId id) { return looks[static_cast<std::size_t>(id)]; }

  bool runActive = false;   // a run is executing: further starts are refused
  bool addRunning = false;  // that run is an add run: its start button asks it to pause
  // The user paused the run going: its waits end and it clicks nothing more but the item of
  // a menu already open. Set by the pause, cleared as the next run starts.
  bool pauseAsked = false;
  // A start pressed while a paused run was still winding down: taken once it has ended.
  std::optional<Job> startWhenEnded;
  bool listing = false;  // a folder is being listed: further folder choices are refused
  bool closing = false;  // the main window is being destroyed: every run ends at once
};

// Everything an operation needs: the two seams, the state, the generator and hotkeys.
struct Tool {
  Ui& ui;
  Desktop& desktop;
  RunState state{};
  HotkeyBook hotkeys{};
  RandomGenerator random{};
};

}  // namespace pelloram
