// client_probe: works the practice client through the tool's own client layer, step by
// step as the command line says, and prints what it did as JSON lines. Test use only.
//
//   client_probe.exe STEP [ARGS] STEP [ARGS] ...
//     find                        the chat client's main window handle
//     decoy                       show a window of our own and bring it to the foreground
//     place                       MoveWindowTo(client, 0, 0, 910, 647); rectangle and foreground
//     click X Y left|right        the seam's click on the client's point; pointer before, after
//     move X Y                    pointer to a screen point
//     cursor                      pointer position
//     key VK                      one key tap
//     chord VK MOD                key chord, e.g. chord 0x56 0x11 for Ctrl+V
//     clip TEXT                   PutTextOnClipboard
//     paste TEXT                  PutTextOnClipboard, then Ctrl+V
//     readclip                    the clipboard's Unicode and 8-bit text
//     waitfor open|forward|client MS     polls for that window, handling messages meanwhile
//     waitactive open|forward|client MS  polls until that window is also the foreground one
//     wait MS                     ResponsiveDelay
//     foreground                  the foreground window with its class and title
//     capture L T R B             CaptureScreen of that screen rectangle: ok, size, mean colour,
//                                 how many distinct colours
//     save FILE                   the last capture as a binary PPM picture (to look at)
//     teach X Y                   keeps the 48 x 48 picture around the screen point, as F10
//                                 does, and says whether it is distinctive
//     look L T R B                captures the rectangle and looks for the kept picture in
//                                 it; where it was found (screen point of its centre), score
//     trigger FILE MS             waits until FILE exists, so that a test started beforehand
//                                 acts the moment it asks, without a Wine start in between
//     shift DX DY                 moves the client's main window by DX DY, without activating it
//     setrect X Y W H             gives the client's main window that outer rectangle
//     minimise                    ShowWindow(SW_MINIMIZE) on the client's main window
//     kill                        TerminateProcess on the client's process, as a crash ends it
//     pausetime ID TEXT MS        waits for F11 to go down, then watches the tool's window:
//                                 when its control ID shows TEXT, and when its caption changes
//                                 (the run's progress taken off it as the run ends); both in
//                                 milliseconds after the key went down, and the longest gap
//                                 between two looks at the key (the figures' resolution)
//
// Exit code 0 when every step ran, 2 for a bad command line, 3 when the client is missing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "client/chat_client.h"
#include "client/client_windows.h"
#include "client/clipboard.h"
#include "client/desktop_win32.h"
#include "client/input.h"
#include "client/waits.h"
#include "services/image.h"
#include "services/json_quote.h"
#include "services/picture_match.h"
#include "services/utf16.h"

namespace pelloram {
namespace {

std::string Num(long long value) { return std::to_string(value); }
// Built by appending: GCC 12 warns falsely (-Wrestrict) on "literal" + std::string&&.
std::string Array(std::initializer_list<long long> values) {
  std::string out = "[";
  for (const long long v : values) {
    if (out.size() > 1) out += ',';
    out += Num(v);
  }
  out += ']';
  return out;
}
std::string PointJson(Point p) { return Array({p.x, p.y}); }
std::string Bool(bool value) { return value ? "true" : "false"; }

// One JSON object a line; fields are already-encoded JSON values.
void Emit(std::string_view op, const std::vector<std::pair<std::string, std::string>>& fields) {
  std::string line = "{\"op\":";
  line += JsonQuote(op);
  for (const auto& [name, value] : fields) {
    line += ',';
    line += JsonQuote(name);
    line += ':';
    line += value;
  }
  line += "}\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

struct UsageError {
  std::string message;
};

std::string WindowText(HWND window, bool className) {
  wchar_t buf[512] = {};
  const int n = className ? GetClassNameW(window, buf, 512) : GetWindowTextW(window, buf, 512);
  return Narrow(std::wstring_view(buf, static_cast<std::size_t>(n > 0 ? n : 0)));
}

class Probe {
 public:
  explicit Probe(std::vector<std::string> args) : args_(std::move(args)) {}

  int Run() {
    client_ = FindChatClient(desktop_).window;
    Emit("find", {{"client", Num(static_cast<long long>(client_))}});
    while (next_ < args_.size()) {
      const std::string step = Take();
      const auto found = Steps().find(step);
      if (found == Steps().end()) throw UsageError{"unknown step: " + step};
      if (found->second.needsClient && client_ == 0) {
        Emit("error", {{"message", JsonQuote("chat client not found")}, {"step", JsonQuote(step)}});
        return 3;
      }
      found->second.run(*this);
    }
    return 0;
  }

 private:
  struct Step {
    bool needsClient;
    std::function<void(Probe&)> run;
  };

  static const std::map<std::string, Step>& Steps() {
    static const std::map<std::string, Step> steps = {
        {"find", {false, [](Probe&) {}}},
        {"decoy", {false, &Probe::Decoy}},
        {"place", {true, &Probe::Place}},
        {"click", {true, &Probe::Click}},
        {"move", {false, &Probe::Move}},
        {"cursor", {false, &Probe::Cursor}},
        {"key", {false, &Probe::Key}},
        {"chord", {false, &Probe::Chord}},
        {"clip", {false, &Probe::Clip}},
        {"paste", {false, &Probe::Paste}},
        {"readclip", {false, &Probe::ReadClip}},
        {"waitfor", {false, [](Probe& p) { p.WaitFor(false); }}},
        {"waitactive", {false, [](Probe& p) { p.WaitFor(true); }}},
        {"wait", {false, &Probe::Wait}},
        {"foreground", {false, &Probe::Foreground}},
        {"capture", {false, &Probe::Capture}},
        {"save", {false, &Probe::Save}},
        {"teach", {false, &Probe::Teach}},
        {"look", {false, &Probe::Look}},
        {"trigger", {false, &Probe::Trigger}},
        {"shift", {true, &Probe::Shift}},
        {"setrect", {true, &Probe::SetRect}},
        {"minimise", {true, &Probe::Minimise}},
        {"kill", {true, &Probe::Kill}},
        {"pausetime", {false, &Probe::PauseTime}},
    };
    return steps;
  }

  std::string Take() {
    if (next_ >= args_.size()) throw UsageError{"missing argument"};
    return args_[next_++];
  }

  int TakeInt() {
    const std::string text = Take();
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);  // decimal or 0x hex
    if (text.empty() || *end != '\0') throw UsageError{"not a number: " + text};
    return static_cast<int>(value);
  }

  std::string ForegroundJson() { return Num(static_cast<long long>(desktop_.ForegroundWindow())); }

  void Decoy() {
    static const wchar_t kClass[] = L"PelloramProbeDecoy";
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    decoy_ = CreateWindowExW(0, kClass, L"probe decoy", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 960, 700,
                             240, 160, nullptr, nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(decoy_);
    ProcessPendingEvents(desktop_);
    Emit("decoy",
         {{"hwnd", Num(reinterpret_cast<long long>(decoy_))}, {"foreground", ForegroundJson()}});
  }

  void Place() {
    const std::string before = ForegroundJson();
    const bool ok = desktop_.MoveWindowTo(client_, chat::kModeOneLeft, chat::kModeOneTop,
                                          chat::kModeOneWidth, chat::kModeOneHeight);
    Rect rect;
    desktop_.ReadWindowRect(client_, rect);
    Point origin;
    desktop_.ClientOriginToScreen(client_, origin);
    Emit("place", {{"ok", Bool(ok)},
                   {"rect", Array({rect.left, rect.top, rect.right, rect.bottom})},
                   {"client_origin", PointJson(origin)},
                   {"foreground_before", before},
                   {"foreground_after", ForegroundJson()}});
  }

  void Click() {
    const int x = TakeInt();
    const int y = TakeInt();
    const std::string button = Take();
    if (button != "left" && button != "right") throw UsageError{"button is left or right"};
    const Point before = ReadCursorPoint(desktop_);
    const ClickResult result =
        desktop_.Click(ScreenPointOf(desktop_, client_, x, y),
                       button == "left" ? MouseButton::Left : MouseButton::Right);
    Emit("click", {{"x", Num(x)},
                   {"y", Num(y)},
                   {"button", JsonQuote(button)},
                   {"done", Bool(result == ClickResult::Done)},
                   {"pointer_before", PointJson(before)},
                   {"pointer_after", PointJson(ReadCursorPoint(desktop_))}});
  }

  void Move() {
    const int x = TakeInt();
    const int y = TakeInt();
    SetCursorPos(x, y);
    Emit("move", {{"pointer", PointJson(ReadCursorPoint(desktop_))}});
  }

  void Cursor() { Emit("cursor", {{"pointer", PointJson(ReadCursorPoint(desktop_))}}); }

  void Key() {
    const int key = TakeInt();
    PressKey(desktop_, key);
    Emit("key", {{"vk", Num(key)}});
  }

  void Chord() {
    const int key = TakeInt();
    const int modifier = TakeInt();
    PressKeyChord(desktop_, key, modifier);
    Emit("chord", {{"vk", Num(key)}, {"modifier", Num(modifier)}});
  }

  void Clip() {
    const std::string text = Take();
    Emit("clip", {{"text", JsonQuote(text)}, {"ok", Bool(PutTextOnClipboard(desktop_, text))}});
  }

  void Paste() {
    const std::string text = Take();
    const bool ok = PutTextOnClipboard(desktop_, text);
    PressKeyChord(desktop_, vk::kV, vk::kControl);
    Emit("paste", {{"text", JsonQuote(text)}, {"ok", Bool(ok)}});
  }

  // Reads back what other programs get: the Unicode text and the system's 8-bit rendering.
  void ReadClip() {
    std::string unicode;
    bool hasUnicode = false;
    bool hasText = false;
    bool hasFiles = false;
    if (OpenClipboard(nullptr)) {
      hasUnicode = IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
      hasText = IsClipboardFormatAvailable(CF_TEXT) != FALSE;
      hasFiles = IsClipboardFormatAvailable(CF_HDROP) != FALSE;
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
          unicode = Narrow(wide);
          GlobalUnlock(data);
        }
      }
      CloseClipboard();
    }
    Emit("readclip", {{"unicode", JsonQuote(unicode)},
                      {"has_unicode", Bool(hasUnicode)},
                      {"has_text", Bool(hasText)},
                      {"has_files", Bool(hasFiles)}});
  }

  // Polls with short responsive waits, so the decoy and the probe stay responsive too.
  void WaitFor(bool active) {
    const std::string which = Take();
    const int timeout = TakeInt();
    std::function<WindowHandle(Desktop&)> find;
    if (which == "open") find = FindOpenDialog;
    if (which == "forward") find = [this](Desktop& d) { return FindForwardWindow(d, client_); };
    if (which == "client") find = [](Desktop& d) { return FindChatClient(d).window; };
    if (!find) throw UsageError{"waitfor/waitactive open|forward|client MS"};
    const auto ready = [&](WindowHandle window) {
      return window != 0 && (!active || desktop_.ForegroundWindow() == window);
    };
    const std::uint32_t start = desktop_.TickCount();
    WindowHandle window = find(desktop_);
    while (!ready(window) && static_cast<int>(desktop_.TickCount() - start) < timeout) {
      ResponsiveDelay(desktop_, 50);
      window = find(desktop_);
    }
    if (which == "client" && window != 0) client_ = window;
    Emit(active ? "waitactive" : "waitfor", {{"window", JsonQuote(which)},
                                             {"hwnd", Num(static_cast<long long>(window))},
                                             {"ready", Bool(ready(window))},
                                             {"ms", Num(desktop_.TickCount() - start)}});
  }

  void Wait() {
    const int ms = TakeInt();
    const std::uint32_t start = desktop_.TickCount();
    ResponsiveDelay(desktop_, ms);
    Emit("wait", {{"ms", Num(ms)}, {"elapsed", Num(desktop_.TickCount() - start)}});
  }

  void Foreground() {
    const auto window = reinterpret_cast<HWND>(desktop_.ForegroundWindow());
    Emit("foreground", {{"hwnd", Num(reinterpret_cast<long long>(window))},
                        {"class", JsonQuote(window ? WindowText(window, true) : "")},
                        {"title", JsonQuote(window ? WindowText(window, false) : "")}});
  }

  Rect TakeRect() {
    Rect area;
    area.left = TakeInt();
    area.top = TakeInt();
    area.right = TakeInt();
    area.bottom = TakeInt();
    return area;
  }

  void Capture() {
    const Rect area = TakeRect();
    Image picture;
    const std::uint32_t start = desktop_.TickCount();
    const bool ok = desktop_.CaptureScreen(area, picture);
    const std::uint32_t ms = desktop_.TickCount() - start;
    long long sums[3] = {0, 0, 0};
    std::set<std::uint32_t> colours;
    const std::size_t pixels = picture.bgra.size() / 4;
    for (std::size_t i = 0; ok && i < pixels; ++i) {
      const std::uint8_t* p = &picture.bgra[i * 4];
      for (int c = 0; c < 3; ++c) sums[c] += p[c];
      if (colours.size() <= 1000) colours.insert(p[0] | p[1] << 8 | p[2] << 16);
    }
    const auto mean = [&](int c) { return pixels ? sums[c] / static_cast<long long>(pixels) : 0; };
    bool opaque = true;
    for (std::size_t i = 3; i < picture.bgra.size(); i += 4)
      opaque = opaque && picture.bgra[i] == 255;
    Emit("capture", {{"ok", Bool(ok)},
                     {"size", Array({picture.width, picture.height})},
                     {"mean_rgb", Array({mean(2), mean(1), mean(0)})},
                     {"colours", Num(static_cast<long long>(colours.size()))},
                     {"opaque", Bool(opaque)},
                     {"ms", Num(ms)}});
    if (ok) last_ = std::move(picture);
  }

  void Save() {
    const std::string path = Take();
    std::ofstream out(std::filesystem::path(Utf8ToUtf16(path)), std::ios::binary);
    out << "P6\n" << last_.width << ' ' << last_.height << "\n255\n";
    for (std::size_t i = 0; i + 3 < last_.bgra.size(); i += 4) {
      const char rgb[3] = {static_cast<char>(last_.bgra[i + 2]),
                           static_cast<char>(last_.bgra[i + 1]), static_cast<char>(last_.bgra[i])};
      out.write(rgb, 3);
    }
    Emit("save", {{"path", JsonQuote(path)}, {"ok", Bool(static_cast<bool>(out))}});
  }

  static constexpr int kTaughtSide = 48;

  void Teach() {
    const int x = TakeInt();
    const int y = TakeInt();
    const Rect area{x - kTaughtSide / 2, y - kTaughtSide / 2, x + kTaughtSide / 2,
                    y + kTaughtSide / 2};
    taught_ = Image{};
    const bool ok = desktop_.CaptureScreen(area, taught_);
    Emit("teach", {{"ok", Bool(ok)}, {"distinctive", Bool(ok && IsDistinctive(taught_))}});
  }

  void Look() {
    const Rect area = TakeRect();
    Image screen;
    const bool ok = desktop_.CaptureScreen(area, screen);
    const Match match = ok ? FindPicture(screen, taught_) : Match{};
    Emit("look", {{"ok", Bool(ok)},
                  {"found", Bool(match.found)},
                  {"center", PointJson({area.left + match.at.x + taught_.width / 2,
                                        area.top + match.at.y + taught_.height / 2})},
                  {"score", std::to_string(match.score)},
                  {"next_best", std::to_string(match.nextBest)}});
  }

  void Trigger() {
    const std::string path = Take();
    const int timeout = TakeInt();
    const std::uint32_t start = desktop_.TickCount();
    bool ready = desktop_.FileExists(path);
    while (!ready && static_cast<int>(desktop_.TickCount() - start) < timeout) {
      ResponsiveDelay(desktop_, 10);
      ready = desktop_.FileExists(path);
    }
    Emit("trigger", {{"ready", Bool(ready)}, {"ms", Num(desktop_.TickCount() - start)}});
  }

  HWND ClientWindow() const { return reinterpret_cast<HWND>(client_); }

  std::string RectJson(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return Array({r.left, r.top, r.right - r.left, r.bottom - r.top});
  }

  void Shift() {
    const int dx = TakeInt();
    const int dy = TakeInt();
    RECT r{};
    GetWindowRect(ClientWindow(), &r);
    const bool ok = SetWindowPos(ClientWindow(), nullptr, r.left + dx, r.top + dy, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
    Emit("shift", {{"ok", Bool(ok)}, {"rect", RectJson(ClientWindow())}});
  }

  void SetRect() {
    const int x = TakeInt();
    const int y = TakeInt();
    const int w = TakeInt();
    const int h = TakeInt();
    const bool ok =
        SetWindowPos(ClientWindow(), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
    Emit("setrect", {{"ok", Bool(ok)}, {"rect", RectJson(ClientWindow())}});
  }

  void Minimise() {
    ShowWindow(ClientWindow(), SW_MINIMIZE);
    Emit("minimise", {{"iconic", Bool(IsIconic(ClientWindow()) != FALSE)}});
  }

  void Kill() {
    DWORD id = 0;
    GetWindowThreadProcessId(ClientWindow(), &id);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
    bool ok = false;
    if (process != nullptr) {
      ok = TerminateProcess(process, 1) != FALSE &&
           WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
      CloseHandle(process);
    }
    Emit("kill", {{"ok", Bool(ok)}, {"pid", Num(id)}});
  }

  static std::string Text(HWND window) {
    wchar_t buf[512] = {};
    const int n = GetWindowTextW(window, buf, 512);
    return Narrow(std::wstring_view(buf, static_cast<std::size_t>(n > 0 ? n : 0)));
  }

  // The tool's controls sit on its pages, not all right on its window.
  static HWND Descendant(HWND top, int id) {
    struct Search {
      int id;
      HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        top,
        [](HWND child, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          if (GetDlgCtrlID(child) != s->id) return TRUE;
          s->found = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) throw UsageError{"the tool has no control " + Num(id)};
    return search.found;
  }

  // Polls every millisecond or so: the figures are meant to tell tenths of a second apart.
  // The key is pressed by the test as a person presses it; its going down is read from the
  // system's key state, so that all three moments are read on one clock.
  void PauseTime() {
    const int id = TakeInt();
    const std::string text = Take();
    const int timeout = TakeInt();
    const HWND tool = FindWindowW(L"PelloramMainWindow", nullptr);
    if (tool == nullptr) throw UsageError{"the tool's window is not there"};
    const HWND control = Descendant(tool, id);
    const std::string during = Text(tool);
    GetAsyncKeyState(vk::kF11);  // forgets a press from before, which the low bit would report
    Emit("watching", {{"caption", JsonQuote(during)}});
    std::uint32_t start = desktop_.TickCount();
    bool pressed = false;
    // The longest time between two looks at the key: how late its going down may be seen,
    // so how much earlier than the figures say the tool may have reacted.
    std::uint32_t lookedAt = start;
    std::uint32_t longestGap = 0;
    while (!pressed && static_cast<int>(desktop_.TickCount() - start) < timeout) {
      // Down now, or pressed and released since the last look: a tap can be that short.
      pressed = (GetAsyncKeyState(vk::kF11) & 0x8001) != 0;
      const std::uint32_t now = desktop_.TickCount();
      longestGap = std::max(longestGap, now - lookedAt);
      lookedAt = now;
      if (!pressed) ::Sleep(1);
    }
    start = desktop_.TickCount();
    long long shown = -1;
    long long ended = -1;
    while (pressed && (shown < 0 || ended < 0) &&
           static_cast<int>(desktop_.TickCount() - start) < timeout) {
      const long long now = desktop_.TickCount() - start;
      if (shown < 0 && Text(control).find(text) != std::string::npos) shown = now;
      if (ended < 0 && Text(tool) != during) ended = now;
      ::Sleep(1);
    }
    Emit("pausetime", {{"pressed", Bool(pressed)},
                       {"look_gap_ms", Num(longestGap)},
                       {"caption_after", JsonQuote(Text(tool))},
                       {"control_ms", Num(shown)},
                       {"caption_ms", Num(ended)}});
  }

  Win32Desktop desktop_;
  Image last_;
  Image taught_;
  std::vector<std::string> args_;
  std::size_t next_ = 0;
  WindowHandle client_ = 0;
  HWND decoy_ = nullptr;
};

}  // namespace
}  // namespace pelloram

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(pelloram::Narrow(argv[i]));
  try {
    return pelloram::Probe(std::move(args)).Run();
  } catch (const pelloram::UsageError& e) {
    pelloram::Emit("error", {{"message", pelloram::JsonQuote(e.message)}});
    return 2;
  }
}
