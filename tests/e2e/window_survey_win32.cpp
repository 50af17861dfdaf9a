// inspect.exe: reads another program's windows from outside, for the end-to-end tests.
// Prints one JSON object a line on stdout (UTF-8); exit code 2 when the window is missing.
//
//   inspect.exe TITLE [CLASS]            the top-level window, then every descendant; an
//                                        empty TITLE with a CLASS takes any title
//   inspect.exe --top                    every top-level window
//   inspect.exe --tooltips               visible tooltips with their tools' texts and title
//   inspect.exe --close TITLE [CLASS]    posts WM_CLOSE
//   inspect.exe --try-hotkey VK          whether RegisterHotKey(NULL, 1, 0, VK) succeeds
//   inspect.exe --cursor                 the pointer position
//   inspect.exe --foreground             the foreground window
//   inspect.exe --clipboard              the clipboard's Unicode text
//   inspect.exe --set-clipboard TEXT     puts TEXT on the clipboard as Unicode text
//   inspect.exe --hold-clipboard MS      keeps the clipboard open for MS ms, as a busy program may
//   inspect.exe --hold-hotkey VK MS      holds VK as a hotkey (no modifier) for MS ms
//   inspect.exe --hold-file PATH MS      keeps the file open, shared with no one, for MS ms
//   inspect.exe --text-extent FONT WRAP TEXT [FONT WRAP TEXT ...]
//                                        the size TEXT takes drawn in FONT, one line each:
//                                        FONT is px:HEIGHT:WEIGHT (a GB2312 font made as the
//                                        tool makes its own), message or status (the system's
//                                        message-box and tooltip fonts; message:DPI, status:DPI
//                                        as it makes them for DPI); WRAP 0 keeps TEXT's own
//                                        lines, else lines wrap at WRAP pixels; "\n" in TEXT is
//                                        a line break
// The holds print a line once they hold and another when they let go. A child's line gives
// its client size ("client_w", "client_h") and, for a tab control, its tabs' rectangles.

// <windows.h> first: the other Win32 headers depend on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "services/json_quote.h"
#include "services/utf16.h"

namespace {

std::string Quote(const std::wstring& text) { return pelloram::JsonQuote(pelloram::Narrow(text)); }

// Builds one JSON object field by field.
class Line {
 public:
  Line& Raw(const char* key, const std::string& value) {
    text_ += text_.empty() ? "{" : ",";
    text_ += "\"";
    text_ += key;
    text_ += "\":" + value;
    return *this;
  }
  Line& Num(const char* key, long long value) { return Raw(key, std::to_string(value)); }
  Line& Bool(const char* key, bool value) { return Raw(key, value ? "true" : "false"); }
  Line& Str(const char* key, const std::wstring& value) { return Raw(key, Quote(value)); }
  Line& Rect(const char* key, const RECT& r) {
    return Raw(key, "{\"x\":" + std::to_string(r.left) + ",\"y\":" + std::to_string(r.top) +
                        ",\"w\":" + std::to_string(r.right - r.left) +
                        ",\"h\":" + std::to_string(r.bottom - r.top) + "}");
  }
  Line& Handle(const char* key, HWND h) {
    return Num(key, static_cast<long long>(reinterpret_cast<INT_PTR>(h)));
  }
  void Print() {
    std::string out = (text_.empty() ? "{" : text_) + "}\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
              nullptr);
  }

 private:
  std::string text_;
};

// WM_GETTEXT is marshalled across processes; GetWindowText would not ask the control.
std::wstring TextOf(HWND h) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(copied);
  return text;
}

std::wstring ClassOf(HWND h) {
  wchar_t name[256] = {};
  GetClassNameW(h, name, 256);
  return name;
}

// Screen rectangle mapped into the client coordinates of `origin`.
RECT RelativeTo(RECT screen, HWND origin) {
  MapWindowPoints(nullptr, origin, reinterpret_cast<POINT*>(&screen), 2);
  return screen;
}

RECT ClientOnScreen(HWND h) {
  RECT client{};
  GetClientRect(h, &client);
  MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

// A block of memory inside another process, for control messages that carry pointers.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND owner, SIZE_T size) : size_(size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool ok() const { return address_ != nullptr; }
  char* at(SIZE_T offset) const {
    return address_ ? static_cast<char*>(address_) + offset : nullptr;
  }
  bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
    return WriteProcessMemory(process_, at(offset), data, size, nullptr);
  }
  bool Read(SIZE_T offset, void* data, SIZE_T size) const {
    return ReadProcessMemory(process_, at(offset), data, size, nullptr);
  }
  std::wstring ReadText(SIZE_T offset, SIZE_T chars) const {
    std::wstring text(chars, L'\0');
    if (!ReadProcessMemory(process_, at(offset), text.data(), chars * sizeof(wchar_t), nullptr))
      return {};
    text.resize(std::wcslen(text.c_str()));
    return text;
  }
  SIZE_T size() const { return size_; }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  SIZE_T size_;
};

constexpr SIZE_T kTextChars = 1024;

std::string TabCaptions(HWND tab) {
  std::string list = "[";
  auto count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  RemoteBuffer remote(tab, sizeof(TCITEMW) + kTextChars * sizeof(wchar_t));
  for (int i = 0; i < count && remote.ok(); ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = reinterpret_cast<wchar_t*>(remote.at(sizeof(TCITEMW)));
    item.cchTextMax = kTextChars;
    wchar_t empty = 0;
    remote.Write(sizeof(TCITEMW), &empty, sizeof empty);
    remote.Write(0, &item, sizeof item);
    SendMessageW(tab, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(remote.at(0)));
    if (i > 0) list += ',';
    list += Quote(remote.ReadText(sizeof(TCITEMW), kTextChars));
  }
  return list + "]";
}

// The rectangles of a tab control's tabs, in its client coordinates.
std::string TabRects(HWND tab) {
  std::string list = "[";
  auto count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  RemoteBuffer remote(tab, sizeof(RECT));
  for (int i = 0; i < count && remote.ok(); ++i) {
    RECT r{};
    remote.Write(0, &r, sizeof r);
    SendMessageW(tab, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(remote.at(0)));
    remote.Read(0, &r, sizeof r);
    if (i > 0) list += ',';
    list += "{\"x\":" + std::to_string(r.left) + ",\"y\":" + std::to_string(r.top) +
            ",\"w\":" + std::to_string(r.right - r.left) +
            ",\"h\":" + std::to_string(r.bottom - r.top) + "}";
  }
  return list + "]";
}

bool IsCheckable(LONG style) {
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return true;
    default:
      return false;
  }
}

struct Walk {
  HWND top;
  int index;
};

BOOL CALLBACK PrintChild(HWND h, LPARAM data) {
  auto& walk = *reinterpret_cast<Walk*>(data);
  HWND parent = GetAncestor(h, GA_PARENT);
  RECT screen{};
  GetWindowRect(h, &screen);
  std::wstring cls = ClassOf(h);
  LONG style = GetWindowLongW(h, GWL_STYLE);
  RECT client{};
  GetClientRect(h, &client);
  Line line;
  line.Str("kind", L"child")
      .Num("index", walk.index++)
      .Handle("hwnd", h)
      .Handle("parent", parent)
      .Str("class", cls)
      .Num("id", GetDlgCtrlID(h))
      .Str("text", TextOf(h))
      .Rect("rect", RelativeTo(screen, walk.top))
      .Rect("rect_parent", RelativeTo(screen, parent))
      .Rect("screen", screen)
      .Bool("visible", IsWindowVisible(h))
      .Bool("shown", (style & WS_VISIBLE) != 0)
      .Bool("enabled", IsWindowEnabled(h))
      .Num("style", static_cast<DWORD>(style))
      .Num("exstyle", static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE)))
      .Num("client_w", client.right - client.left)
      .Num("client_h", client.bottom - client.top);
  if (_wcsicmp(cls.c_str(), L"Button") == 0 && IsCheckable(style)) {
    line.Num("check", SendMessageW(h, BM_GETCHECK, 0, 0));
  } else {
    line.Raw("check", "null");
  }
  if (_wcsicmp(cls.c_str(), WC_TABCONTROLW) == 0) {
    line.Num("cursel", SendMessageW(h, TCM_GETCURSEL, 0, 0))
        .Raw("tabs", TabCaptions(h))
        .Raw("tab_rects", TabRects(h));
  }
  line.Print();
  return TRUE;
}

void PrintTop(HWND h) {
  RECT outer{};
  GetWindowRect(h, &outer);
  LONG style = GetWindowLongW(h, GWL_STYLE);
  LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  Line()
      .Str("kind", L"top")
      .Handle("hwnd", h)
      .Handle("owner", GetWindow(h, GW_OWNER))
      .Str("class", ClassOf(h))
      .Str("text", TextOf(h))
      .Num("pid", pid)
      .Rect("rect", outer)
      .Rect("client", ClientOnScreen(h))
      .Bool("visible", IsWindowVisible(h))
      .Bool("enabled", IsWindowEnabled(h))
      .Bool("iconic", IsIconic(h))
      .Num("style", static_cast<DWORD>(style))
      .Num("exstyle", static_cast<DWORD>(ex))
      .Bool("thickframe", style & WS_THICKFRAME)
      .Bool("maximizebox", style & WS_MAXIMIZEBOX)
      .Bool("minimizebox", style & WS_MINIMIZEBOX)
      .Bool("sysmenu", style & WS_SYSMENU)
      .Bool("caption", (style & WS_CAPTION) == WS_CAPTION)
      .Bool("topmost", ex & WS_EX_TOPMOST)
      .Bool("appwindow", ex & WS_EX_APPWINDOW)
      .Bool("toolwindow", ex & WS_EX_TOOLWINDOW)
      .Print();
}

HWND FindTop(int argc, wchar_t** argv, int at) {
  const wchar_t* title = at < argc ? argv[at] : nullptr;
  const wchar_t* cls = at + 1 < argc ? argv[at + 1] : nullptr;
  HWND h = FindWindowW(cls, cls && title && !*title ? nullptr : title);
  if (!h) Line().Str("error", L"window not found").Str("title", title ? title : L"").Print();
  return h;
}

int InspectWindow(int argc, wchar_t** argv) {
  HWND top = FindTop(argc, argv, 1);
  if (!top) return 2;
  PrintTop(top);
  Walk walk{top, 0};
  EnumChildWindows(top, PrintChild, reinterpret_cast<LPARAM>(&walk));
  return 0;
}

BOOL CALLBACK PrintTopLevel(HWND h, LPARAM) {
  PrintTop(h);
  return TRUE;
}

// The tip's texts and title live in the tooltip's own process: read them through remote memory.
// Every tool is listed: a balloon shown by tracking is not the "current" tool.
BOOL CALLBACK PrintTooltip(HWND h, LPARAM) {
  if (_wcsicmp(ClassOf(h).c_str(), TOOLTIPS_CLASSW) != 0 || !IsWindowVisible(h)) return TRUE;
  RECT screen{};
  GetWindowRect(h, &screen);
  std::string texts = "[";
  std::wstring title;
  constexpr SIZE_T kTextAt = sizeof(TTTOOLINFOW) + sizeof(TTGETTITLE);
  RemoteBuffer remote(h, kTextAt + kTextChars * sizeof(wchar_t));
  auto* remoteText = reinterpret_cast<wchar_t*>(remote.at(kTextAt));
  const wchar_t empty = 0;
  auto count = static_cast<int>(SendMessageW(h, TTM_GETTOOLCOUNT, 0, 0));
  for (int i = 0; i < count && remote.ok(); ++i) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.lpszText = remoteText;
    remote.Write(0, &info, sizeof info);
    remote.Write(kTextAt, &empty, sizeof empty);
    if (!SendMessageW(h, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote.at(0)))) continue;
    if (i > 0) texts += ',';
    texts += Quote(remote.ReadText(kTextAt, kTextChars));
  }
  if (remote.ok()) {
    TTGETTITLE get{};
    get.dwSize = sizeof get;
    get.cch = kTextChars;
    get.pszTitle = remoteText;
    remote.Write(kTextAt, &empty, sizeof empty);
    remote.Write(sizeof(TTTOOLINFOW), &get, sizeof get);
    SendMessageW(h, TTM_GETTITLE, 0, reinterpret_cast<LPARAM>(remote.at(sizeof(TTTOOLINFOW))));
    title = remote.ReadText(kTextAt, kTextChars);
  }
  Line()
      .Str("kind", L"tooltip")
      .Handle("hwnd", h)
      .Str("title", title)
      .Raw("texts", texts + "]")
      .Str("window_text", TextOf(h))
      .Rect("rect", screen)
      .Print();
  return TRUE;
}

int PrintClipboard() {
  std::wstring text;
  bool present = false;
  if (OpenClipboard(nullptr)) {
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      if (auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
        text = p;
        present = true;
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
  }
  Line().Bool("present", present).Str("text", text).Print();
  return 0;
}

int SetClipboard(const std::wstring& text) {
  SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return 1;
  if (void* p = GlobalLock(block)) {
    std::memcpy(p, text.c_str(), bytes);
    GlobalUnlock(block);
  }
  bool placed = false;
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    CloseClipboard();
  }
  if (!placed) GlobalFree(block);  // the clipboard owns the block only once it was accepted
  Line().Bool("placed", placed).Print();
  return placed ? 0 : 1;
}

int TryHotkey(const wchar_t* code) {
  auto vk = static_cast<UINT>(std::wcstoul(code, nullptr, 0));
  bool registered = RegisterHotKey(nullptr, 1, 0, vk);
  if (registered) UnregisterHotKey(nullptr, 1);
  Line().Num("vk", vk).Bool("registered", registered).Print();
  return 0;
}

int HoldClipboard(const wchar_t* milliseconds) {
  const bool held = OpenClipboard(nullptr);
  Line().Bool("held", held).Print();
  if (!held) return 1;
  Sleep(static_cast<DWORD>(std::wcstoul(milliseconds, nullptr, 0)));
  CloseClipboard();
  Line().Bool("released", true).Print();
  return 0;
}

// A hotkey of this thread, for its whole life: the message queue need not be read for
// the key to stay taken.
int HoldHotkey(const wchar_t* code, const wchar_t* milliseconds) {
  const auto vk = static_cast<UINT>(std::wcstoul(code, nullptr, 0));
  const bool held = RegisterHotKey(nullptr, 1, 0, vk);
  Line().Num("vk", vk).Bool("held", held).Print();
  if (!held) return 1;
  Sleep(static_cast<DWORD>(std::wcstoul(milliseconds, nullptr, 0)));
  UnregisterHotKey(nullptr, 1);
  Line().Num("vk", vk).Bool("released", true).Print();
  return 0;
}

int HoldFile(const wchar_t* path, const wchar_t* milliseconds) {
  const HANDLE file =
      CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  const bool held = file != INVALID_HANDLE_VALUE;
  Line().Bool("held", held).Print();
  if (!held) return 1;
  Sleep(static_cast<DWORD>(std::wcstoul(milliseconds, nullptr, 0)));
  CloseHandle(file);
  Line().Bool("released", true).Print();
  return 0;
}

// A font as FONT names it (see the top of the file); null for a name it does not know.
HFONT MakeFont(const std::wstring& name) {
  const std::wstring system = name.substr(0, name.find(L':'));
  if (system == L"message" || system == L"status") {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const long dpi = name.size() > system.size()
                         ? std::wcstol(name.c_str() + system.size() + 1, nullptr, 10)
                         : 0;
    using ForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    const auto forDpi = reinterpret_cast<ForDpi>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi")));
    const bool read =
        dpi > 0 ? forDpi != nullptr && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                              static_cast<UINT>(dpi))
                : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    if (!read) return nullptr;
    return CreateFontIndirectW(system == L"message" ? &metrics.lfMessageFont
                                                    : &metrics.lfStatusFont);
  }
  int height = 0, weight = 0;
  if (std::swscanf(name.c_str(), L"px:%d:%d", &height, &weight) != 2 || height <= 0) return nullptr;
  return CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, GB2312_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"");
}

// Where the text's ink lies, drawn as DrawText lays it out in `cell` (its DT_CALCRECT size)
// with the font selected in `dc`: relative to the cell's top-left, and it may reach outside the
// cell (a slanted or overhanging glyph) or stop short of it (the blank half of a full-width
// colon). Pixels lighter than a faint edge of anti-aliasing are not ink. Empty: no ink at all.
RECT InkOf(HDC dc, const std::wstring& text, const RECT& cell, UINT flags) {
  constexpr int kMargin = 32;  // room for ink outside the cell
  const int width = cell.right - cell.left + 2 * kMargin;
  const int height = cell.bottom - cell.top + 2 * kMargin;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) return RECT{};
  const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  const RECT all{0, 0, width, height};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  RECT at{kMargin, kMargin, kMargin + cell.right - cell.left, kMargin + cell.bottom - cell.top};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &at, flags | DT_NOCLIP);
  GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  RECT ink{width, height, 0, 0};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
      const int darkest = std::min({p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF});
      if (darkest >= 160) continue;
      ink.left = std::min<LONG>(ink.left, x);
      ink.top = std::min<LONG>(ink.top, y);
      ink.right = std::max<LONG>(ink.right, x + 1);
      ink.bottom = std::max<LONG>(ink.bottom, y + 1);
    }
  }
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  if (ink.right <= ink.left) return RECT{};
  OffsetRect(&ink, -kMargin, -kMargin);
  return ink;
}

int TextExtents(int argc, wchar_t** argv) {
  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  int failed = 0;
  for (int at = 2; at + 2 < argc; at += 3) {
    const std::wstring fontName = argv[at];
    const int wrap = static_cast<int>(std::wcstol(argv[at + 1], nullptr, 10));
    std::wstring text;
    for (const wchar_t* c = argv[at + 2]; *c != 0; ++c) {
      if (c[0] == L'\\' && c[1] == L'n') {
        text += L"\r\n";
        ++c;
      } else {
        text += *c;
      }
    }
    const HFONT font = MakeFont(fontName);
    if (font == nullptr) {
      Line().Str("font", fontName).Str("error", L"unknown font").Print();
      ++failed;
      continue;
    }
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT r{0, 0, wrap > 0 ? wrap : 0, 0};
    const UINT flags = DT_NOPREFIX | DT_EXPANDTABS | (wrap > 0 ? DT_WORDBREAK : 0u);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
    const RECT ink = InkOf(dc, text, r, flags);
    SelectObject(dc, old);
    DeleteObject(font);
    Line()
        .Str("font", fontName)
        .Num("wrap", wrap)
        .Num("w", r.right - r.left)
        .Num("h", r.bottom - r.top)
        .Rect("ink", ink)
        .Num("line_h", metrics.tmHeight)
        .Num("ave_char_w", metrics.tmAveCharWidth)
        .Print();
  }
  DeleteDC(dc);
  return failed == 0 ? 0 : 1;
}

void PrintUsage() {
  std::fputs(
      "usage: inspect.exe TITLE [CLASS] | --top | --tooltips | --close TITLE [CLASS]\n"
      "       | --try-hotkey VK | --cursor | --foreground | --clipboard | --set-clipboard TEXT\n"
      "       | --hold-clipboard MS | --hold-hotkey VK MS | --hold-file PATH MS\n"
      "       | --text-extent FONT WRAP TEXT [FONT WRAP TEXT ...]\n",
      stderr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    PrintUsage();
    return 64;
  }
  std::wstring mode = argv[1];
  if (mode == L"--top") {
    EnumWindows(PrintTopLevel, 0);
    return 0;
  }
  if (mode == L"--tooltips") {
    EnumWindows(PrintTooltip, 0);
    return 0;
  }
  if (mode == L"--close") {
    HWND h = FindTop(argc, argv, 2);
    if (!h) return 2;
    Line().Handle("hwnd", h).Bool("posted", PostMessageW(h, WM_CLOSE, 0, 0)).Print();
    return 0;
  }
  if (mode == L"--try-hotkey" && argc > 2) return TryHotkey(argv[2]);
  if (mode == L"--cursor") {
    POINT p{};
    GetCursorPos(&p);
    Line().Num("x", p.x).Num("y", p.y).Print();
    return 0;
  }
  if (mode == L"--foreground") {
    HWND h = GetForegroundWindow();
    Line()
        .Handle("hwnd", h)
        .Str("class", h ? ClassOf(h) : L"")
        .Str("text", h ? TextOf(h) : L"")
        .Print();
    return 0;
  }
  if (mode == L"--clipboard") return PrintClipboard();
  if (mode == L"--set-clipboard" && argc > 2) return SetClipboard(argv[2]);
  if (mode == L"--hold-clipboard" && argc > 2) return HoldClipboard(argv[2]);
  if (mode == L"--hold-hotkey" && argc > 3) return HoldHotkey(argv[2], argv[3]);
  if (mode == L"--hold-file" && argc > 3) return HoldFile(argv[2], argv[3]);
  if (mode == L"--text-extent" && argc > 4 && (argc - 2) % 3 == 0) return TextExtents(argc, argv);
  if (mode.starts_with(L"--")) {
    PrintUsage();
    return 64;
  }
  return InspectWindow(argc, argv);
}
