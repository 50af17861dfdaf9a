// The Desktop seam over Win32, the clipboard's text.
#include <windows.h>

#include <cstring>
#include <string>

#include "client/desktop_win32.h"
#include "client/handles_win32.h"
#include "services/unique_handle.h"
#include "services/utf16.h"

namespace pelloram {

namespace {

struct GlobalFreeCall {
  void operator()(HGLOBAL block) const { GlobalFree(block); }
};
// A global block we still own; released once the clipboard has taken it.
using GlobalBlock = UniqueHandle<HGLOBAL, GlobalFreeCall>;

// Holds the clipboard open for the calls made while it lives.
class ClipboardGuard {
 public:
  explicit ClipboardGuard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ClipboardGuard(const ClipboardGuard&) = delete;
  ClipboardGuard& operator=(const ClipboardGuard&) = delete;
  ~ClipboardGuard() {
    if (open_) CloseClipboard();
  }
  bool open() const { return open_; }

 private:
  bool open_;
};

// Copies the text and its terminator in; false when the block could not be had or locked.
bool FillBlock(const GlobalBlock& block, const std::u16string& text) {
  if (!block) return false;
  void* data = GlobalLock(block.get());
  if (data == nullptr) return false;
  std::memcpy(data, text.c_str(), (text.size() + 1) * sizeof(char16_t));
  GlobalUnlock(block.get());
  return true;
}

// The clipboard's Unicode text while it is open; nothing when it holds none.
std::optional<std::string> OpenClipboardText() {
  const HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto* wide = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (wide == nullptr) return std::nullopt;
  // The block may lack its terminator: never read past its size.
  const std::size_t most = GlobalSize(data) / sizeof(wchar_t);
  std::size_t length = 0;
  while (length < most && wide[length] != L'\0') ++length;
  std::string text = Narrow(std::wstring(wide, length));
  GlobalUnlock(data);
  return text;
}

}  // namespace

bool Win32Desktop::ClearClipboard(WindowHandle owner) {
  const ClipboardGuard clipboard(ToHwnd(owner));
  return clipboard.open() && EmptyClipboard();
}

bool Win32Desktop::PutClipboardText(WindowHandle owner, std::string_view text,
                                    std::optional<std::string>* replaced) {
  // Filled before the clipboard is opened, so other programs wait on it as briefly as possible.
  const std::u16string wide = Utf8ToUtf16(text);
  GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(char16_t)));
  if (!FillBlock(block, wide)) return false;

  const ClipboardGuard clipboard(ToHwnd(owner));
  if (!clipboard.open()) return false;
  if (replaced) *replaced = OpenClipboardText();
  if (!EmptyClipboard()) return false;
  // Unicode text; the system offers CF_TEXT and CF_OEMTEXT converted from it on request.
  if (SetClipboardData(CF_UNICODETEXT, block.get()) == nullptr) return false;
  block.release();  // the clipboard owns it now
  return true;
}

}  // namespace pelloram
