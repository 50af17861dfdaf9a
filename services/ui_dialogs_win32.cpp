// The Ui seam over Win32, its dialogs: the message box and the folder picker.
// First: it brings <windows.h>, which the other Win32 headers depend on.
// clang-format off
#include "services/ui_win32.h"
// clang-format on

#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace pelloram {

namespace {

struct ItemListClose {
  void operator()(PIDLIST_ABSOLUTE list) const { CoTaskMemFree(list); }
};
using UniqueItemList = UniqueHandle<PIDLIST_ABSOLUTE, ItemListClose>;

// The tool's top-level windows, disabled for the life of a foreign modal dialog and then
// returned to their earlier enabled state, with the earlier active and foreground windows.
class ToolWindowsDisabled {
 public:
  ToolWindowsDisabled() : active_(GetActiveWindow()), foreground_(GetForegroundWindow()) {
    EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&windows_));
    for (const Entry& entry : windows_) EnableWindow(entry.window, FALSE);
  }
  ~ToolWindowsDisabled() {
    for (const Entry& entry : windows_) {
      if (IsWindow(entry.window)) EnableWindow(entry.window, entry.enabled);
    }
    if (active_ != nullptr && IsWindow(active_)) SetActiveWindow(active_);
    if (foreground_ != nullptr && IsWindow(foreground_)) SetForegroundWindow(foreground_);
  }
  ToolWindowsDisabled(const ToolWindowsDisabled&) = delete;
  ToolWindowsDisabled& operator=(const ToolWindowsDisabled&) = delete;

  HWND active() const { return active_; }

 private:
  struct Entry {
    HWND window;
    BOOL enabled;
  };
  static BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<Entry>*>(list)->push_back({window, IsWindowEnabled(window)});
    return TRUE;
  }

  HWND active_;
  HWND foreground_;
  std::vector<Entry> windows_;
};

}  // namespace

void Win32Ui::ShowMessage(std::string_view text, std::string_view caption) {
  // Task-modal without an owner: every window of the tool is disabled while the box is up,
  // and the box's own loop keeps timers and hotkeys coming.
  MessageBoxW(nullptr, Wide(text).c_str(), Wide(caption).c_str(), MB_OK | MB_TASKMODAL);
}

std::string Win32Ui::BrowseForFolder(std::string_view title) {
  const std::wstring wideTitle = Wide(title);
  UniqueItemList chosen;
  {
    ToolWindowsDisabled disabled;
    BROWSEINFOW info{};
    info.hwndOwner = disabled.active();
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_EDITBOX;
    chosen.reset(SHBrowseForFolderW(&info));
  }
  if (!chosen) return {};
  // Long paths fit; items without a file-system path (Control Panel...) give nothing.
  std::wstring path(32768, L'\0');
  if (!SHGetPathFromIDListEx(chosen.get(), path.data(), static_cast<DWORD>(path.size()),
                             GPFIDL_DEFAULT)) {
    return {};
  }
  path.resize(path.find(L'\0'));
  return Narrow(path);
}

}  // namespace pelloram
