#include "tests/fakes/fake_ui.h"

#include "app/form.h"

namespace pelloram::testing {

FakeUi::FakeUi(FakeDesktop& desktop) : desktop_(desktop) {
  for (const ControlForm& form : Form()) {
    ControlState& state = Mutable(form.id);
    state.text = std::string(form.text);
    state.width = form.width;
    state.height = form.height;
    state.checked = form.checked ? 1 : 0;
    state.colour = static_cast<int>(form.colour);
    state.wordWrap = form.wordWrap ? 1 : 0;
  }
}

void FakeUi::Type(Control box, std::string_view text) {
  Mutable(box).text = std::string(text);
  RaiseEvent(box, Event::ContentChanged);
}

void FakeUi::Click(Control control) {
  // A user click checks the radio and unchecks its partner of the same group.
  const auto partner = [](Control radio) {
    switch (radio) {
      case Control::DeleteModeOneRadio:
        return Control::DeleteModeTwoRadio;
      case Control::DeleteModeTwoRadio:
        return Control::DeleteModeOneRadio;
      case Control::AddModeOneRadio:
        return Control::AddModeTwoRadio;
      case Control::AddModeTwoRadio:
        return Control::AddModeOneRadio;
      default:
        return Control::MainWindow;
    }
  };
  if (const Control other = partner(control); other != Control::MainWindow) {
    Mutable(control).checked = 1;
    Mutable(other).checked = 0;
  }
  RaiseEvent(control, Event::Clicked);
}

void FakeUi::SelectPage(int newPage) {
  page = newPage;
  RaiseEvent(Control::JobPages, Event::PageChanged);
}

void FakeUi::LeaveFocus(Control box) {
  if (focus == box) focus = Control::MainWindow;
  RaiseEvent(box, Event::FocusLost);
}

void FakeUi::PressHotkey(int virtualKey) {
  for (const auto& [id, key] : hotkeys) {
    if (key == virtualKey && onHotkey) {
      onHotkey(id);
      return;
    }
  }
}

std::string FakeUi::ReadControlText(Control control) {
  return control == Control::MainWindow ? caption : State(control).text;
}

void FakeUi::ShowControlText(Control control, std::string_view text) {
  Mutable(control).text = std::string(text);
}

void FakeUi::WriteControlText(Control control, std::string_view text) {
  if (control == Control::MainWindow) {
    caption = std::string(text);
    captions.push_back(caption);
    return;
  }
  Mutable(control).text = std::string(text);
  const ControlKind kind = FormOf(control).kind;
  if (kind == ControlKind::EditBox || kind == ControlKind::IntegerEditBox) {
    RaiseEvent(control, Event::ContentChanged);
  }
}

int FakeUi::ReadControlProperty(Control control, Property property) {
  if (property == Property::CurrentPage) return page;
  const ControlState& s = State(control);
  switch (property) {
    case Property::Width:
      return s.width;
    case Property::Height:
      return s.height;
    case Property::FontSize:
      return s.fontSize;
    case Property::WordWrap:
      return s.wordWrap;
    case Property::TextColour:
      return s.colour;
    case Property::Checked:
      return s.checked;
    case Property::CurrentPage:
      return page;
  }
  return 0;
}

void FakeUi::WriteControlProperty(Control control, Property property, int value) {
  if (property == Property::CurrentPage) {
    page = value;
    return;
  }
  ControlState& s = Mutable(control);
  switch (property) {
    case Property::Width:
      s.width = value;
      break;
    case Property::Height:
      s.height = value;
      break;
    case Property::FontSize:
      s.fontSize = value;
      break;
    case Property::WordWrap:
      s.wordWrap = value;
      break;
    case Property::TextColour:
      s.colour = value;
      break;
    case Property::Checked:
      s.checked = value;
      break;
    case Property::CurrentPage:
      break;
  }
}

void FakeUi::SetControlFocus(Control control) {
  focus = control;
  focusHistory.push_back(control);
}

WindowHandle FakeUi::GetControlHandle(Control control) {
  return 0x5000 + static_cast<WindowHandle>(control);
}

void FakeUi::ShowBalloonTip(Control tip, Point at, std::string_view text, bool hideBySelf) {
  tips.push_back(Tip{tip, at, std::string(text), hideBySelf, desktop_.now});
}

void FakeUi::ShowMessage(std::string_view text, std::string_view boxCaption) {
  messages.push_back(Message{std::string(text), std::string(boxCaption)});
}

std::string FakeUi::BrowseForFolder(std::string_view title) {
  pickerTitles.emplace_back(title);
  if (folderAnswers.empty()) return {};
  std::string answer = folderAnswers.front();
  folderAnswers.pop_front();
  return answer;
}

bool FakeUi::RegisterHotkey(WindowHandle, int id, unsigned modifiers, int virtualKey) {
  const bool ok = modifiers == 0 && !keysHeldElsewhere.contains(virtualKey);
  hotkeyCalls.emplace_back(id, ok);
  if (ok) hotkeys[id] = virtualKey;
  return ok;
}

bool FakeUi::UnregisterHotkey(WindowHandle, int id) { return hotkeys.erase(id) > 0; }

void FakeUi::RaiseEvent(Control control, Event event) {
  raised.emplace_back(control, event);
  if (sink_) sink_(control, event);
}

}  // namespace pelloram::testing
