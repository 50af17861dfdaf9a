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
// boxes' content changes run the changed box's rule, below.
constexpr Binding kEventTable[] = {
    {Control::MainWindow, Event::Created, InitMainWindow},
    {Control::MainWindow, Event::Destroying, ReleaseHotkeys},
    {Control::JobPages, Event::PageChanged, SwitchTabPage},
    {Control::DeleteModeOneRadio, Event::Clicked, SelectDeleteModeOne},
    {Control::DeleteModeTwoRadio, Event::Clicked, SelectDeleteModeTwo},
    {Control::AddModeOneRadio, Event::Clicked, SelectAddModeOne},
    {Control::AddModeTwoRadio, Event::Clicked, SelectAddModeTwo},
    {Control::FlashTimer, Event::Tick, FlashModeRadio},
    {Control::AddThanksButton, Event::Clicked, ShowThanks},
    {Control::DeleteThanksButton, Event::Clicked, ShowThanks},
    {Control::ChooseFolderButton, Event::Clicked, ChooseStickerFolder},
    {Control::AddStartButton, Event::Clicked, StartAddRun},
    {Control::DeleteStartButton, Event::Clicked, DeleteStartPause},
    {Control::DeleteCount, Event::FocusLost, NormalizeIntegerBoxOnFocusLost},
};

}  // namespace

void HandleEvent(Tool& tool, Control control, Event event) {
  if (event == Event::ContentChanged) {
    ApplyFieldRule(tool, control);
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
