// Simulated worlds: from one seed, a client, a collection and a sticker folder, a job, and
// a schedule of things that happen during the run; the real tool runs on the fake desktop
// and its promises are checked at every click and key and when the world has run out.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "client/monitors.h"

namespace pelloram::sim {

enum class Happening : int {
  F11,
  F10,
  ChangePage,
  ChangeMode,
  TypeCount,
  TypeDelay,
  MoveMouse,
  HoldClipboard,
  RemoveFile,
  RefuseFile,
  CloseClient,
  MoveClient,
  CoverClient,
  CloseTool,
  // Drawn from a stream of their own, so every world of an earlier seed stays as it was.
  HandOnMouseInClick,  // the user's mouse moves between the tool's checks and its click
  DivertClick,         // the pointer cannot be put on the next click's point
  RestartClient,       // the client is closed and started again at the same place
  PauseAndResume,      // F11 now, and again `value` * 20 ms later
  // Drawn from a third stream, in worlds whose points were taught with F10 only.
  MoveClientWindow,  // the user drags the client's window to a place `value` picks
  ResizeClient,      // the user drags the client's window to a size `value` picks
  // Drawn from a fourth stream, in worlds whose waits are interrupted.
  MinimiseClient,  // the client's window goes to the task bar
  HideClient,      // the client's window is hidden (closed to the tray)
  // Drawn from a fifth stream, in taught worlds on monitors of mixed scales.
  MoveClientToMonitor,  // the user drags the client onto a monitor of another scale
  kCount,
};

struct Event {
  std::uint32_t at;  // virtual milliseconds after the start; with `afterInput`, into the wait
  Happening what;
  int value;  // a number the happening uses (a count, a file, a distance)
  // Not at a time but inside a wait of the run: `at` ms after the world's input (click or
  // key) of this index, counted from 0, when the tool waits for its client or its delay.
  int afterInput = -1;
};

struct World {
  std::uint64_t seed = 0;
  int collection = 0;  // stickers collected in the client
  int folder = 0;      // GIF files chosen for adding
  bool addJob = false;
  bool modeTwo = false;
  bool pointsOffClient = false;  // mode two: the points were captured elsewhere
  // Mode two: the points taught with F10 over the client where it is, not typed in. Every
  // click of a run in such a world lands on a control of the kind its step means, or no
  // click is made: never a click where the look is not.
  bool taught = false;
  std::vector<Event> beforeRun;  // taught worlds: what happens between teaching and F11
  // Taught worlds on monitors of mixed scales: the layout (empty: one screen at 100 %), and
  // the monitor the client stands on while its points are taught.
  std::vector<Monitor> monitors;
  int teachOn = 0;
  int count = 0;
  int delayMs = 0;
  int screenLagMs = 0;  // the screen shows a moved window at its old place this long
  int reactMs = 0;
  int jitterMs = 0;
  std::vector<Event> events;
};

// The world of a seed, no larger than the limits. With `taughtWorlds`, a third stream of the
// seed also teaches some mode-two worlds their points and moves and resizes the client; the
// worlds without it stay as they were. With `interruptedWaits`, a fourth stream makes some
// delays long and puts a pause or a close of the tool, and things happening to the client
// (moved, minimised, hidden, restarted), inside the run's waits, and lets the screen lag the
// windows; everything the other streams drew stays as it was. With `mixedScales`, a fifth
// stream puts the taught worlds (it teaches them as `taughtWorlds` does) on monitors of
// different scales, teaches on one and drags the client onto another before and during the
// run.
World Generate(std::uint64_t seed, int maxStickers = 50, int maxEvents = 8,
               bool taughtWorlds = false, bool interruptedWaits = false, bool mixedScales = false);

struct Result {
  std::string broken;            // the first promise broken, with when; empty when all held
  std::vector<std::string> log;  // what happened, in order
};
Result Simulate(const World& world);

// Smaller worlds from the same seed that still break a promise; the smallest found.
World Shrink(const World& failing);

std::string Describe(const World& world);
const char* NameOf(Happening happening);

}  // namespace pelloram::sim
