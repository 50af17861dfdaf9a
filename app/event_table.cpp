#include "app/event_table.h"

#include "app/decorations.h"
#include "app/field_rules.h"
#include "app/mode_switching.h"
#include "app/startup.h"
#include "workflows/add_run.h"
#include "workflows/run_control.h"
#include "workflows/sticker_folder.h"

namespace pelloram {
namespace {

using Operation = void (*)(Tool&);

struct Binding {
  Control control;
  Event event;
  Operation operation;
};

// Every event that runs something; all other events of all controls do nothing. Edit
// boxes' content changes and 标签1's hotkey feedback carry data and are handled below.
constexpr Binding kEventTable[] = {
    {Control::MainWindow, Event::Created, InitMainWindow},
    {Control::MainWindow, Event::Destroying, ReleaseHotkeys},
    {Control::高级选择夹1, Event::PageChanged, SwitchTabPage},
    {Control::单选框1, Event::Clicked, SelectDeleteModeOne},
    {Control::单选框2, Event::Clicked, SelectDeleteModeTwo},
    {Control::单选框3, Event::Clicked, SelectAddModeOne},
    {Control::单选框4, Event::Clicked, SelectAddModeTwo},
    {Control::时钟1, Event::Tick, FlashModeRadio},
    {Control::按钮4, Event::Clicked, ShowThanks},
    {Control::按钮5, Event::Clicked, ShowThanks},
    {Control::按钮3, Event::Clicked, ChooseStickerFolder},
    {Control::按钮2, Event::Clicked, StartAddRun},
    {Control::按钮1, Event::Clicked, DeleteStartPause},
    {Control::编辑框7, Event::FocusLost, NormalizeIntegerBoxOnFocusLost},
};

}  // namespace

void HandleEvent(Tool& tool, Control control, Event event, std::int64_t arg) {
  if (event == Event::ContentChanged) {
    ApplyFieldRule(tool, control);
    return;
  }
  if (control == Control::标签1 && event == Event::Feedback) {
    DispatchHotkey(tool, arg);
    return;
  }
  for (const Binding& binding : kEventTable) {
    if (binding.control == control && binding.event == event) {
      binding.operation(tool);
      return;
    }
  }
}

}  // namespace pelloram
