#include "services/hotkeys.h"

namespace pelloram {

int BindHotkey(Ui& ui, HotkeyBook& book, WindowHandle window, int virtualKey) {
  // Every attempt takes a fresh identifier, so one is never handed out twice.
  const int id = book.nextId++;
  constexpr unsigned kNoModifiers = 0;
  return ui.RegisterHotkey(window, id, kNoModifiers, virtualKey) ? id : 0;
}

bool UnbindHotkey(Ui& ui, HotkeyBook& book, WindowHandle window, int id) {
  if (!IsBoundHotkey(book, id)) return false;
  return ui.UnregisterHotkey(window, id);
}

bool IsBoundHotkey(const HotkeyBook& book, int id) { return id >= 33001 && id < book.nextId; }

}  // namespace pelloram
