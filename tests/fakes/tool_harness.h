// The whole tool on the fake seams: the same event table as the real program.
#pragma once

#include "app/event_table.h"
#include "services/hotkeys.h"
#include "tests/fakes/fake_desktop.h"
#include "tests/fakes/fake_ui.h"
#include "tests/fakes/practice_world.h"
#include "workflows/run_control.h"

namespace pelloram::testing {

struct ToolHarness {
  static constexpr std::uint32_t kExplorerProcess = 2;
  FakeDesktop desktop;
  FakeUi ui{desktop};
  Tool tool{ui, desktop};
  WindowHandle client = 0;
  WindowHandle desktopWindow = 0;

  // The chat client (when present) starts away from its mode-one place; the desktop's
  // window covers the screen from its origin.
  explicit ToolHarness(bool withClient = true, bool start = true) {
    desktopWindow = desktop.AddWindow("Progman", "Program Manager", Rect{0, 0, 1280, 1024}, {},
                                      kExplorerProcess);
    if (withClient) {
      client = desktop.AddWindow("WeChatMainWndForPC", "微信", Rect{200, 120, 1000, 720});
    }
    ui.SetSink([this](Control c, Event e) { HandleEvent(tool, c, e); });
    ui.onHotkey = [this](int id) { DispatchHotkey(tool, id); };
    if (start) Start();
  }

  void Start() { ui.RaiseEvent(Control::MainWindow, Event::Created); }
  // The user closes the window: it is destroyed and the quit request is posted.
  void Close() {
    ui.RaiseEvent(Control::MainWindow, Event::Destroying);
    desktop.PostQuit(0);
  }
  // The delete page's mode-two points as captured over a client placed at the screen's
  // origin: the built-in points, and the delete item as the tool derives it.
  void TypeDeletePoints() {
    const std::pair<Control, const char*> points[] = {
        {Control::StickerPanelX, "340"}, {Control::StickerPanelY, "525"},
        {Control::CollectedTabX, "220"}, {Control::CollectedTabY, "460"},
        {Control::FirstStickerX, "175"}, {Control::FirstStickerY, "210"},
        {Control::DeleteItemX, "205"},   {Control::DeleteItemY, "260"}};
    for (const auto& [box, text] : points) ui.Type(box, text);
  }
  // The add page's mode-two points as captured over a client placed at the screen's origin.
  void TypeAddPoints() {
    const std::pair<Control, const char*> points[] = {{Control::FileButtonX, "373"},
                                                      {Control::FileButtonY, "526"},
                                                      {Control::SentStickerX, "799"},
                                                      {Control::SentStickerY, "459"}};
    for (const auto& [box, text] : points) ui.Type(box, text);
  }
  // The user points at a screen point and presses F10.
  void TeachAt(Point screen) {
    desktop.cursor = screen;
    ui.PressHotkey(vk::kF10);
  }
  // The delete page's mode-two points taught with F10 on the practice client where it is, as
  // a user does it: the sticker button with the panel closed, the collected tab with the
  // panel open on its default tab, the first sticker with the collection shown (its place when
  // the collection is empty); the panel is closed again after.
  void TeachDeletePoints(PracticeWorld& world);
  // The add page's: the file button, and the newest message of the chat (a sticker the user
  // sends from `path` first when the chat has none).
  void TeachAddPoints(PracticeWorld& world, const std::string& path = "C:\\s\\taught.gif");
  // How many whole delays of `ms` an elapsed time holds. A wait lasts at least its delay and
  // ends at the first tick past it, so k waits of D read as k, whatever the tick's length.
  static std::uint32_t WholeDelays(std::uint32_t elapsed, std::uint32_t ms) { return elapsed / ms; }
  // Schedules a user action at a virtual time.
  void At(std::uint32_t time, std::function<void()> action) { desktop.At(time, std::move(action)); }
};

}  // namespace pelloram::testing
