// The tool's own window in memory: control properties, focus, tips, message boxes and the
// folder picker, with user actions (typing, clicks, page changes, hotkeys) raised as the
// same events the real window procedure raises.
#pragma once

#include <array>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/form.h"
#include "services/ui.h"
#include "tests/fakes/fake_desktop.h"

namespace pelloram::testing {

class FakeUi : public Ui {
 public:
  struct ControlState {
    std::string text;
    int width = 0, height = 0, fontSize = 0, wordWrap = 0, checked = 0;
    int colour = 0;
  };
  struct Tip {
    Control tip;
    Point at;
    std::string text;
    bool hideBySelf;
    std::uint32_t time;
  };
  struct Message {
    std::string text;
    std::string caption;
  };

  explicit FakeUi(FakeDesktop& desktop);
  void SetSink(EventSink sink) { sink_ = std::move(sink); }
  // Called for a hotkey press with its registered identifier (the window's WM_HOTKEY).
  std::function<void(int id)> onHotkey;

  // --- what a person does ---
  void Type(Control box, std::string_view text);  // one change, one content-changed event
  void Click(Control control);                    // radios check themselves first
  void SelectPage(int page);
  void LeaveFocus(Control box);
  void PressHotkey(int virtualKey);  // only registered keys reach the tool

  // --- what the tests look at ---
  std::array<ControlState, kChildControlCount> controls{};
  const ControlState& State(Control c) const { return controls[static_cast<std::size_t>(c)]; }
  std::string Text(Control c) const { return State(c).text; }
  int page = 0;
  std::string caption{kMainWindowCaption};
  std::vector<std::string> captions;  // every caption written, in order
  Control focus = Control::MainWindow;
  std::vector<Control> focusHistory;
  std::vector<Tip> tips;
  std::vector<Message> messages;
  std::deque<std::string> folderAnswers;  // what the picker returns, in turn ("" = cancel)
  std::vector<std::string> pickerTitles;
  std::vector<std::pair<Control, Event>> raised;  // every event raised, in order
  std::map<int, int> hotkeys;                     // id -> virtual key, while registered
  std::set<int> keysHeldElsewhere;                // registrations of these keys fail
  std::vector<std::pair<int, bool>> hotkeyCalls;  // (id, registered?) in call order

  // --- Ui ---
  std::string ReadControlText(Control control) override;
  void WriteControlText(Control control, std::string_view text) override;
  void ShowControlText(Control control, std::string_view text) override;
  int ReadControlProperty(Control control, Property property) override;
  void WriteControlProperty(Control control, Property property, int value) override;
  void SetControlFocus(Control control) override;
  WindowHandle GetControlHandle(Control control) override;
  void ShowBalloonTip(Control tip, Point at, std::string_view text, bool hideBySelf) override;
  void ShowMessage(std::string_view text, std::string_view caption) override;
  std::string BrowseForFolder(std::string_view title) override;
  // Controls lie at their form place, offset by their index so that each has its own point.
  Point ControlCentre(Control control) override { return {1000, 1000 + static_cast<int>(control)}; }
  bool RegisterHotkey(WindowHandle window, int id, unsigned modifiers, int virtualKey) override;
  bool UnregisterHotkey(WindowHandle window, int id) override;
  void RaiseEvent(Control control, Event event);

 private:
  ControlState& Mutable(Control c) { return controls[static_cast<std::size_t>(c)]; }
  FakeDesktop& desktop_;
  EventSink sink_;
};

}  // namespace pelloram::testing
