// capture_bench: how long Win32Desktop::CaptureScreen takes for the area a run captures
// before a click: the client's window at its usual size, and the whole screen. A window of
// the benchmark's own, drawn with shapes, covers the client's area, so the copy reads a
// program's drawing and not the bare background.
//
//   capture_bench.exe [--runs 31]
// And a 144 x 144 area: the taught picture's place with its search radius around it, all a
// run needs to capture while a control has not moved.
// Prints one line per area and a last line "capture-ms CLIENT SCREEN WIDTH HEIGHT NEAR" (the
// medians and the screen's size) for scripts/bench to hand to the find benchmark. Asserts
// nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "client/desktop_win32.h"

namespace pelloram {
namespace {

constexpr int kClientWidth = 910;
constexpr int kClientHeight = 647;

LRESULT CALLBACK Paint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcW(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  for (int i = 0; i < 400; ++i) {
    const int x = (i * 97) % kClientWidth;
    const int y = (i * 57) % kClientHeight;
    const HBRUSH brush = CreateSolidBrush(RGB(i * 13 % 256, i * 29 % 256, i * 47 % 256));
    const RECT box{x, y, x + 20 + i % 30, y + 12 + i % 17};
    FillRect(dc, &box, brush);
    DeleteObject(brush);
  }
  EndPaint(window, &paint);
  return 0;
}

HWND ShowBusyWindow() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = Paint;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PelloramCaptureBench";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassW(&wc);
  const HWND window =
      CreateWindowExW(0, wc.lpszClassName, L"capture bench", WS_POPUP | WS_VISIBLE, 0, 0,
                      kClientWidth, kClientHeight, nullptr, nullptr, wc.hInstance, nullptr);
  UpdateWindow(window);
  // Let the drawing reach the screen before timing.
  const DWORD until = GetTickCount() + 500;
  MSG msg;
  while (GetTickCount() < until) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  return window;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

// Median and fastest of `runs` captures; negative when a capture failed.
std::pair<double, double> Time(Win32Desktop& desktop, const Rect& area, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    Image picture;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const bool ok = desktop.CaptureScreen(area, picture);
    QueryPerformanceCounter(&end);
    if (!ok) return {-1, -1};
    times.push_back(Milliseconds(start, end));
  }
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times.front()};
}

}  // namespace
}  // namespace pelloram

int main(int argc, char** argv) {
  using namespace pelloram;
  int runs = 31;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
  }
  const HWND window = ShowBusyWindow();
  Win32Desktop desktop;
  const int screenLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int screenTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const Rect client{0, 0, kClientWidth, kClientHeight};
  const Rect screen{screenLeft, screenTop, screenLeft + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    screenTop + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  const auto [clientMs, clientFastest] = Time(desktop, client, runs);
  const auto [screenMs, screenFastest] = Time(desktop, screen, runs);
  const auto [nearMs, nearFastest] = Time(desktop, Rect{300, 400, 444, 544}, runs);
  std::printf("  the client's area, %d x %d:   median %7.2f ms  fastest %7.2f ms  (%d captures)\n",
              kClientWidth, kClientHeight, clientMs, clientFastest, runs);
  std::printf("  the whole screen, %d x %d: median %7.2f ms  fastest %7.2f ms\n",
              screen.right - screen.left, screen.bottom - screen.top, screenMs, screenFastest);
  std::printf("  around a taught place, 144 x 144: median %7.2f ms  fastest %7.2f ms\n", nearMs,
              nearFastest);
  std::printf("capture-ms %.2f %.2f %d %d %.2f\n", clientMs, screenMs, screen.right - screen.left,
              screen.bottom - screen.top, nearMs);
  DestroyWindow(window);
  return clientMs < 0 || screenMs < 0 || nearMs < 0 ? 1 : 0;
}
