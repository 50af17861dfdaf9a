// The Desktop seam over Win32, its input: the pointer, the click as one act, and keys.
#include <windows.h>

#include <optional>

#include "client/desktop_win32.h"
#include "client/input_coordinates.h"

namespace pelloram {

bool Win32Desktop::ReadCursor(Point& screen) {
  POINT p;
  if (!GetCursorPos(&p)) return false;
  screen = Point{p.x, p.y};
  return true;
}

namespace {

Rect VirtualScreen() {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return Rect{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
              top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

bool Inside(const RECT& r, Point p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

INPUT MoveTo(AbsolutePoint to) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = to.x;
  input.mi.dy = to.y;
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
  const Rect desk = VirtualScreen();
  RECT clip;
  POINT saved;
  if (!GetClipCursor(&clip) || !GetCursorPos(&saved)) return ClickResult::Missed;
  // A point off the virtual screen, or one its steps cannot reach exactly, gets no press.
  const std::optional<AbsolutePoint> target = ToAbsolute(desk, screen);
  const std::optional<AbsolutePoint> back = ToAbsolute(desk, {saved.x, saved.y});
  if (!target || !back || !Inside(clip, screen)) return ClickResult::Missed;
  const bool right = button == MouseButton::Right;
  INPUT inputs[4] = {MoveTo(*target), Button(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
                     Button(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP), MoveTo(*back)};
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

}  // namespace pelloram
