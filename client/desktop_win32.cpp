#include "client/desktop_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "services/unique_handle_win32.h"
#include "services/utf16.h"

namespace pelloram {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide API takes UTF-16");

HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle ToHandle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// A null criterion makes FindWindowExW match any window.
const wchar_t* CriterionOrNull(const std::u16string& text) {
  return text.empty() ? nullptr : Wide(text);
}

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

// Larger than any screen, small enough that a wrong rectangle cannot ask for gigabytes.
constexpr long long kMaxCaptureSide = 16384;

// The whole screen's device context, given back with ReleaseDC (not DeleteDC).
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

struct DeleteDcCall {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueMemoryDc = UniqueHandle<HDC, DeleteDcCall>;

struct DeleteObjectCall {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using UniqueBitmap = UniqueHandle<HBITMAP, DeleteObjectCall>;

}  // namespace

std::vector<WindowHandle> Win32Desktop::FindTopLevelWindows(std::string_view className,
                                                            std::string_view title) {
  const std::u16string wideClass = Utf8ToUtf16(className);
  const std::u16string wideTitle = Utf8ToUtf16(title);
  std::vector<WindowHandle> found;
  HWND after = nullptr;
  while ((after = FindWindowExW(nullptr, after, CriterionOrNull(wideClass),
                                CriterionOrNull(wideTitle))) != nullptr) {
    found.push_back(ToHandle(after));
  }
  return found;
}

bool Win32Desktop::IsWindowShown(WindowHandle window) {
  return window != 0 && IsWindow(ToHwnd(window)) && IsWindowVisible(ToHwnd(window));
}

bool Win32Desktop::IsWindowMinimised(WindowHandle window) {
  return window != 0 && IsIconic(ToHwnd(window));
}

namespace {

// Drive paths of MAX_PATH and beyond need the extended-length prefix.
// `room`: what the system may still append (the directory search adds a name of up to 12).
std::u16string LongPathReady(std::u16string path, std::size_t room) {
  const bool drivePath = path.size() > 2 && path[1] == u':' && path[2] == u'\\';
  if (drivePath && path.size() + room >= MAX_PATH) path = u"\\\\?\\" + path;
  return path;
}

std::u16string SearchPath(std::string_view folder, std::string_view pattern) {
  return LongPathReady(Utf8ToUtf16(folder) + Utf8ToUtf16(pattern), 12);
}

}  // namespace

void Win32Desktop::ForEachFolderEntry(std::string_view folder, std::string_view pattern,
                                      const FolderEntry& take) {
  WIN32_FIND_DATAW data;
  const UniqueSearch find(FindFirstFileExW(Wide(SearchPath(folder, pattern)), FindExInfoBasic,
                                           &data, FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return;
  do {
    const auto* name = reinterpret_cast<const char16_t*>(data.cFileName);
    take(Utf16ToUtf8(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } while (FindNextFileW(find.get(), &data));
}

bool Win32Desktop::ReadWindowRect(WindowHandle window, Rect& rect) {
  RECT r;
  if (!GetWindowRect(ToHwnd(window), &r)) return false;
  rect = Rect{r.left, r.top, r.right, r.bottom};
  return true;
}

std::string Win32Desktop::WindowTitle(WindowHandle window) {
  // A top-level window's caption is read from the system's copy: another program's
  // window never has to answer for it.
  std::wstring title(512, L'\0');
  const int length = GetWindowTextW(ToHwnd(window), title.data(), static_cast<int>(title.size()));
  title.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return Narrow(title);
}

bool Win32Desktop::MoveWindowTo(WindowHandle window, int left, int top, int width, int height) {
  // MoveWindow never activates the window nor changes its place in the z-order.
  return MoveWindow(ToHwnd(window), left, top, width, height, TRUE) != FALSE;
}

bool Win32Desktop::ClientOriginToScreen(WindowHandle window, Point& origin) {
  POINT p{0, 0};
  if (!ClientToScreen(ToHwnd(window), &p)) return false;
  origin = Point{p.x, p.y};
  return true;
}

WindowHandle Win32Desktop::ForegroundWindow() { return ToHandle(GetForegroundWindow()); }

bool Win32Desktop::BringToFront(WindowHandle window) {
  return SetForegroundWindow(ToHwnd(window)) != FALSE;
}

bool Win32Desktop::ReadCursor(Point& screen) {
  POINT p;
  if (!GetCursorPos(&p)) return false;
  screen = Point{p.x, p.y};
  return true;
}

std::uint32_t Win32Desktop::ProcessOf(WindowHandle window) {
  DWORD process = 0;
  if (window == 0 || GetWindowThreadProcessId(ToHwnd(window), &process) == 0) return 0;
  return process;
}

WindowHandle Win32Desktop::TopLevelWindowAt(Point screen) {
  const HWND under = WindowFromPoint(POINT{screen.x, screen.y});
  return under == nullptr ? 0 : ToHandle(GetAncestor(under, GA_ROOT));
}

std::vector<Rect> Win32Desktop::MonitorRects() {
  std::vector<Rect> monitors;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR, HDC, LPRECT r, LPARAM found) -> BOOL {
        reinterpret_cast<std::vector<Rect>*>(found)->push_back(
            Rect{r->left, r->top, r->right, r->bottom});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

std::uint32_t Win32Desktop::OwnProcess() { return GetCurrentProcessId(); }

std::vector<WindowHandle> Win32Desktop::ShownWindowsOf(std::uint32_t process) {
  struct Search {
    DWORD process;
    std::vector<WindowHandle> found;
  } search{process, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s.process && IsWindowVisible(window)) s.found.push_back(ToHandle(window));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

namespace {

RECT VirtualScreen() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
              top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

bool Inside(const RECT& r, Point p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// The system maps an absolute coordinate n to pixel origin + n * size / 65536: the
// smallest n that maps onto the pixel itself, so no rounding moves the press a pixel off.
LONG Normalised(LONG pixel, LONG origin, LONG size) {
  const long long offset = static_cast<long long>(pixel) - origin;
  return size <= 0 ? 0 : static_cast<LONG>((offset * 65536 + size - 1) / size);
}

INPUT MoveTo(Point p, const RECT& screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = Normalised(p.x, screen.left, screen.right - screen.left);
  input.mi.dy = Normalised(p.y, screen.top, screen.bottom - screen.top);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  return input;
}

INPUT Button(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return input;
}

}  // namespace

ClickResult Win32Desktop::Click(Point screen, MouseButton button) {
  // The press must land on the point that was checked. SendInput puts its events into the
  // input stream as one block that neither the user's mouse nor another program can come
  // between, so the press goes out where the move put the pointer; what could still put
  // the pointer elsewhere is known beforehand: a point off every screen, or a clip
  // rectangle that holds the pointer (set by a game or a remote-desktop window).
  const RECT desk = VirtualScreen();
  RECT clip;
  POINT saved;
  if (!GetClipCursor(&clip) || !GetCursorPos(&saved)) return ClickResult::Missed;
  if (!Inside(desk, screen) || !Inside(clip, screen)) return ClickResult::Missed;
  const bool right = button == MouseButton::Right;
  INPUT inputs[4] = {
      MoveTo(screen, desk), Button(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
      Button(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP), MoveTo({saved.x, saved.y}, desk)};
  // Fewer events taken: the system blocks them (a target with higher rights than ours).
  return SendInput(4, inputs, sizeof(INPUT)) == 4 ? ClickResult::Done : ClickResult::Refused;
}

bool Win32Desktop::SendKey(int virtualKey, bool keyUp) {
  // A code outside 1..254 is no key.
  if (virtualKey <= 0 || virtualKey > 0xFE) return false;
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = static_cast<WORD>(virtualKey);
  input.ki.dwFlags = keyUp ? KEYEVENTF_KEYUP : 0;
  return SendInput(1, &input, sizeof(INPUT)) == 1;
}

namespace {

// The edit box that holds the text: the combo box cmb13 is a ComboBoxEx32 holding a combo
// box holding the edit, and not every version hands the edit's text out at the top.
HWND FileNameEdit(HWND box) {
  if (box == nullptr) return nullptr;
  if (const HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr)) return edit;
  if (const HWND combo = FindWindowExW(box, nullptr, L"ComboBox", nullptr)) {
    if (const HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
  }
  return box;
}

}  // namespace

std::string Win32Desktop::ReadFileNameBox(WindowHandle dialog) {
  // The file-name box of the system's open dialog: the combo box cmb13 of the Explorer
  // style, or the edit box edt1 of the older one. WM_GETTEXT is carried across processes.
  constexpr int kFileNameCombo = 0x47C;
  constexpr int kFileNameEdit = 0x480;
  for (const int id : {kFileNameCombo, kFileNameEdit}) {
    const HWND box = FileNameEdit(GetDlgItem(ToHwnd(dialog), id));
    if (box == nullptr) continue;
    // GetWindowTextW does not ask another program's control for its text: the message does.
    std::wstring text(32768, L'\0');
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 1000, &length)) {
      return {};
    }
    text.resize(std::min<std::size_t>(length, text.size()));
    return Narrow(text);
  }
  return {};
}

bool Win32Desktop::FileExists(std::string_view path) {
  const std::u16string wide = LongPathReady(Utf8ToUtf16(path), 0);
  const DWORD attributes = GetFileAttributesW(Wide(wide));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Desktop::ClearClipboard(WindowHandle owner) {
  const ClipboardGuard clipboard(ToHwnd(owner));
  return clipboard.open() && EmptyClipboard();
}

bool Win32Desktop::FolderExists(std::string_view path) {
  const std::u16string wide = LongPathReady(Utf8ToUtf16(path), 0);
  const DWORD attributes = GetFileAttributesW(Wide(wide));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::string> Win32Desktop::ReadFileStart(std::string_view path, std::size_t bytes) {
  const std::u16string wide = LongPathReady(Utf8ToUtf16(path), 0);
  const UniqueFile file(CreateFileW(Wide(wide), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string start(bytes, '\0');
  DWORD read = 0;
  if (!ReadFile(file.get(), start.data(), static_cast<DWORD>(bytes), &read, nullptr)) {
    return std::nullopt;
  }
  start.resize(read);
  return start;
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

std::uint32_t Win32Desktop::TickCount() { return GetTickCount(); }

bool Win32Desktop::CaptureScreen(const Rect& area, Image& picture) {
  const long long width = static_cast<long long>(area.right) - area.left;
  const long long height = static_cast<long long>(area.bottom) - area.top;
  if (width <= 0 || height <= 0 || width > kMaxCaptureSide || height > kMaxCaptureSide) {
    return false;
  }
  const ScreenDc screen;
  if (!screen) return false;
  UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
  if (!memory) return false;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = -static_cast<LONG>(height);  // negative: rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap || bits == nullptr) return false;

  const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
  if (previous == nullptr || previous == HGDI_ERROR) return false;
  // CAPTUREBLT takes layered windows too (menus and tips that fade), as the user sees them.
  const bool copied = BitBlt(memory.get(), 0, 0, static_cast<int>(width), static_cast<int>(height),
                             screen.get(), area.left, area.top, SRCCOPY | CAPTUREBLT) != FALSE;
  GdiFlush();                            // the section's bits are read directly below
  SelectObject(memory.get(), previous);  // the bitmap is deleted only once out of the DC
  if (!copied) return false;

  Image taken;
  taken.width = static_cast<int>(width);
  taken.height = static_cast<int>(height);
  const auto* from = static_cast<const std::uint8_t*>(bits);
  taken.bgra.assign(from, from + static_cast<std::size_t>(width * height * 4));
  // The screen has no alpha: the copy leaves that byte undefined (mostly 0).
  for (std::size_t at = 3; at < taken.bgra.size(); at += 4) taken.bgra[at] = 255;
  picture = std::move(taken);
  return true;
}

void Win32Desktop::Sleep(int milliseconds) {
  ::Sleep(static_cast<DWORD>(milliseconds < 0 ? 0 : milliseconds));
}

PendingMessage Win32Desktop::PeekPending() {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) return PendingMessage::None;
  return msg.message == WM_QUIT ? PendingMessage::Quit : PendingMessage::Other;
}

void Win32Desktop::DispatchNext() {
  // Removed with PeekMessageW rather than GetMessageW: should the message seen by PeekPending
  // be gone by now (a sent message handled meanwhile destroyed its window), GetMessageW would
  // block the run until some unrelated message arrived.
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return;
  if (msg.message == WM_QUIT) {
    // Only the main loop may end on a quit request: put it back.
    PostQuitMessage(static_cast<int>(msg.wParam));
    return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

PendingMessage Win32Desktop::RemoveAndDispatch(int& quitExitCode) {
  MSG msg;
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return PendingMessage::None;
  if (msg.message == WM_QUIT) {
    quitExitCode = static_cast<int>(msg.wParam);
    return PendingMessage::Quit;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
  return PendingMessage::Other;
}

void Win32Desktop::PostQuit(int exitCode) { PostQuitMessage(exitCode); }

void Win32Desktop::WaitForMessage(int timeoutMilliseconds) {
  // MWMO_INPUTAVAILABLE also wakes for messages already in the queue that an earlier peek
  // saw, so nothing waiting can be slept over.
  const DWORD timeout = timeoutMilliseconds < 0 ? 0 : static_cast<DWORD>(timeoutMilliseconds);
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace pelloram
