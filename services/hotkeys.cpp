#include "services/hotkeys.h"

namespace pelloram {

unsigned ModifierFlags(int modifierCode) {
  // The tool's codes count Ctrl 1, Shift 2, Alt 4; Win32 counts Alt 1, Ctrl 2, Shift 4.
  constexpr unsigned kModAlt = 0x1, kModControl = 0x2, kModShift = 0x4;
  unsigned flags = 0;
  if (modifierCode & 1) flags |= kModControl;
  if (modifierCode & 2) flags |= kModShift;
  if (modifierCode & 4) flags |= kModAlt;
  return flags;
}

int BindHotkey(Ui& ui, HotkeyBook& book, WindowHandle window, int modifierCode, int virtualKey) {
  // Every attempt takes a fresh identifier, so one is never handed out twice.
  const int id = book.nextId++;
  if (!ui.RegisterHotkey(window, id, ModifierFlags(modifierCode), virtualKey)) return 0;
  ++book.live;
  return id;
}

bool UnbindHotkey(Ui& ui, HotkeyBook& book, WindowHandle window, int id) {
  if (!IsBoundHotkey(book, id)) return false;
  const bool released = ui.UnregisterHotkey(window, id);
  if (released && book.live > 0) --book.live;
  return released;
}

bool IsBoundHotkey(const HotkeyBook& book, int id) { return id >= 33001 && id < book.nextId; }

}  // namespace pelloram
