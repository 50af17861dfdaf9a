// System-wide hotkeys: identifiers from a counter that starts at 33001 and is never
// reused; each press reaches the receiving label as its Feedback event.
#pragma once

#include "services/types.h"
#include "services/ui.h"

namespace pelloram {

struct HotkeyBook {
  int nextId = 33001;  // next identifier to hand out
  int live = 0;        // registrations not yet released
  Control receiver = Control::标签1;
};

// Modifier code (1 Ctrl, 2 Shift, 4 Alt, sums allowed) to MOD_* flags.
unsigned ModifierFlags(int modifierCode);

// Registers the key for `window`; presses go to `label`. Returns the identifier, 0 on failure.
int BindHotkey(Ui& ui, HotkeyBook& book, WindowHandle window, Control label, int modifierCode,
               int virtualKey);
bool UnbindHotkey(Ui& ui, HotkeyBook& book, WindowHandle window, int id);

// True for an identifier that BindHotkey handed out during this run.
bool IsBoundHotkey(const HotkeyBook& book, int id);

// WM_HOTKEY arrived with `id`: forwards it as the receiver's Feedback event when it is ours.
void DeliverHotkey(Ui& ui, const HotkeyBook& book, int id);

}  // namespace pelloram
