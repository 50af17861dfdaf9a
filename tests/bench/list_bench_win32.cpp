// list_bench: the sticker-folder listing beside a bare directory scan of the same folder, and
// how responsive the window stays while the listing runs.
//
// A fresh folder under %TEMP% holds GIF files (every tenth *.GIF, every hundredth with a
// Chinese name), as many PNG and text files, and a subfolder named like a GIF. Creating them
// takes about a minute under Wine, which reads the whole directory for each new name.
//
//   list_bench.exe [--gifs 10000] [--reps 7] [--interval-ms 1]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "client/desktop_win32.h"
#include "client/input.h"
#include "client/waits.h"
#include "services/unique_handle_win32.h"
#include "services/utf16.h"
#include "tests/support/temp_folder.h"
#include "workflows/sticker_folder.h"

namespace pelloram {
namespace {

constexpr UINT kStamped = WM_APP + 2;
double g_frequency = 1;

std::int64_t Now() {
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return c.QuadPart;
}

double Ms(std::int64_t from, std::int64_t to) {
  return static_cast<double>(to - from) * 1000.0 / g_frequency;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t mid = v.size() / 2;
  return v.size() % 2 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
}

std::wstring GifName(int i) {
  const std::wstring stem = (i % 100 == 7 ? L"表情" : L"sticker") + std::to_wstring(i);
  return stem + (i % 10 == 3 ? L".GIF" : L".gif");
}

bool Populate(const std::filesystem::path& folder, int gifs) {
  for (int i = 0; i < gifs; ++i) {
    const std::wstring other = L"other" + std::to_wstring(i) + (i % 2 ? L".txt" : L".png");
    if (!(std::ofstream(folder / GifName(i)) << "GIF89a")) return false;
    if (!(std::ofstream(folder / other) << "GIF89a")) return false;
  }
  // Its name matches the pattern; it must not be listed.
  std::error_code error;
  return std::filesystem::create_directory(folder / L"folder.gif", error);
}

// The system's search, filtered by the system, as a listing written directly over Win32.
void BareScan(const std::wstring& folder, std::vector<std::string>& list) {
  list.clear();
  const std::string base = Narrow(folder) + "\\";
  WIN32_FIND_DATAW data;
  const UniqueSearch find(FindFirstFileExW((folder + L"\\*.gif").c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      list.push_back(base + Narrow(data.cFileName));
  } while (FindNextFileW(find.get(), &data));
}

struct Handled {
  std::int64_t stamp, at;
  std::size_t index;
  bool within;  // by the listing's own pumping, not the pump after it
};
std::vector<Handled>* g_handled = nullptr;
bool g_inListing = false;

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kStamped) return DefWindowProcW(window, message, wParam, lParam);
  if (g_handled != nullptr)
    g_handled->push_back(
        {static_cast<std::int64_t>(wParam), Now(), static_cast<std::size_t>(lParam), g_inListing});
  return 0;
}

// timeBeginPeriod(1) / timeEndPeriod(1), so the poster's Sleep(1) is about 1 ms on Windows
// too (Wine has it anyway). Looked up at run time: the program links only what it measures.
void TimerPeriod(const char* function) {
  using Period = UINT(WINAPI*)(UINT);
  const HMODULE winmm = LoadLibraryW(L"winmm.dll");  // kept loaded until the process ends
  if (winmm == nullptr) return;
  // Through void(*)(), the one function type every other converts to without a warning.
  const auto f =
      reinterpret_cast<Period>(reinterpret_cast<void (*)()>(GetProcAddress(winmm, function)));
  if (f != nullptr) f(1);
}

// One listing while a second thread posts a stamped message every intervalMs; prints the
// table's rows about it.
void MeasureResponsiveness(Win32Desktop& desktop, int intervalMs, const std::string& folder) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = ProbeProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PelloramListBench";
  RegisterClassW(&wc);
  const HWND receiver = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, wc.hInstance, nullptr);
  if (receiver == nullptr) throw std::runtime_error("cannot create the message-only window");
  // A message carries its index and its stamp, taken just before posting; postedAt is when
  // PostMessageW had returned, so the message was certainly in the queue.
  std::vector<std::int64_t> postedAt;
  std::vector<Handled> handled;
  postedAt.reserve(1 << 20);
  handled.reserve(1 << 20);
  std::atomic<bool> started = false;
  TimerPeriod("timeBeginPeriod");
  g_handled = &handled;
  g_inListing = true;
  // Joined on the way out, also when the listing throws.
  std::jthread poster([&](const std::stop_token& stop) {
    while (!stop.stop_requested()) {
      const std::int64_t stamp = Now();
      const auto index = static_cast<LPARAM>(postedAt.size());
      if (PostMessageW(receiver, kStamped, static_cast<WPARAM>(stamp), index))
        postedAt.push_back(Now());
      started = true;
      Sleep(static_cast<DWORD>(intervalMs));
    }
  });
  // The listing starts with one message already waiting, so it meets the stream from its
  // first moment whatever the thread's start-up costs.
  while (!started.load()) Sleep(0);
  std::vector<std::string> list;
  const std::int64_t t0 = Now();
  ListFiles(desktop, folder, "*.gif", list);
  const std::int64_t t1 = Now();
  g_inListing = false;
  poster.request_stop();
  poster.join();
  TimerPeriod("timeEndPeriod");
  PumpMessages(desktop);
  g_handled = nullptr;
  // The listing's final look at the queue takes as long as a look at an empty one; a
  // message posted meanwhile misses it through no fault of the listing's.
  std::vector<double> looks;
  for (int k = 0; k < 21; ++k) {
    const std::int64_t look = Now();
    PumpMessages(desktop);
    looks.push_back(Ms(look, Now()));
  }
  const double lookMs = Median(std::move(looks));
  DestroyWindow(receiver);

  int queued = 0, inFinalLook = 0;
  double maxMs = 0, maxAtMs = 0;
  std::vector<double> waited;
  for (const Handled& h : handled) {
    const std::int64_t in = postedAt[h.index];
    if (!h.within) {
      if (in < t1) ++(Ms(in, t1) > lookMs ? queued : inFinalLook);
      continue;
    }
    waited.push_back(Ms(h.stamp, h.at));
    if (waited.back() < maxMs) continue;
    maxMs = waited.back();
    maxAtMs = Ms(t0, h.stamp);
  }
  const auto posted =
      std::count_if(postedAt.begin(), postedAt.end(), [t1](std::int64_t at) { return at < t1; });
  std::printf("  %-28s %9d       one every %d ms during one listing of %.1f ms\n",
              "messages posted", static_cast<int>(posted), intervalMs, Ms(t0, t1));
  std::printf("  %-28s %9zu\n", "  handled within it", waited.size());
  std::printf("  %-28s %9d       must be 0%s\n", "  still queued at its end", queued,
              queued == 0 ? "" : ": NOT MET");
  std::printf("  %-28s %9d       (its last look at the queue took about %.0f us)\n",
              "  came during its last look", inFinalLook, lookMs * 1000);
  std::printf("  %-28s %9.2f ms\n", "  waited, median", waited.empty() ? 0 : Median(waited));
  std::printf("  %-28s %9.2f ms    posted at %+.1f ms of the listing\n", "  waited, max", maxMs,
              maxAtMs);
}

// --name N from the command line, or the fallback.
int Option(int argc, char** argv, const char* name, int fallback, int least) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], name) == 0) return std::max(std::atoi(argv[i + 1]), least);
  return fallback;
}

int Run(int argc, char** argv) {
  const int gifs = Option(argc, argv, "--gifs", 10000, 100);
  const int reps = Option(argc, argv, "--reps", 7, 1);
  const int intervalMs = Option(argc, argv, "--interval-ms", 1, 0);
  testing::TempFolder folder("list-bench");
  const std::int64_t created = Now();
  if (folder.path().empty() || !Populate(folder.path(), gifs)) {
    std::fprintf(stderr, "list_bench: cannot create the test folder under %%TEMP%%\n");
    return 1;
  }
  const std::string utf8 = folder.Utf8();
  std::printf("%s: %d GIF files, %d PNG/text files, a subfolder folder.gif (created in %.0f s)\n",
              utf8.c_str(), gifs, gifs, Ms(created, Now()) / 1000);

  Win32Desktop desktop;
  std::vector<std::string> listed, bare;
  ListFiles(desktop, utf8, "*.gif", listed);  // warms the directory cache, untimed
  BareScan(folder.path().wstring(), bare);
  std::vector<double> listMs, bareMs;
  const auto timed = [](std::vector<double>& ms, auto work) {
    const std::int64_t t0 = Now();
    work();
    ms.push_back(Ms(t0, Now()));
  };
  // Alternating which goes first, so a slow stretch of the shared machine falls on both.
  for (int rep = 0; rep < reps; ++rep) {
    if (rep % 2 == 0) timed(listMs, [&] { ListFiles(desktop, utf8, "*.gif", listed); });
    timed(bareMs, [&] { BareScan(folder.path().wstring(), bare); });
    if (rep % 2 == 1) timed(listMs, [&] { ListFiles(desktop, utf8, "*.gif", listed); });
  }

  std::vector<std::string> expected;
  for (int i = 0; i < gifs; ++i) expected.push_back(utf8 + "\\" + Narrow(GifName(i)));
  std::vector<std::string> sorted = listed;
  std::sort(sorted.begin(), sorted.end());
  std::sort(expected.begin(), expected.end());
  const bool countRight = static_cast<int>(listed.size()) == gifs;
  const bool pathsRight = listed == bare && sorted == expected;

  const double ratio = Median(listMs) / Median(bareMs);
  std::printf("\n  %-28s %9.1f ms    median of %d interleaved runs\n", "ListFiles, Win32Desktop",
              Median(listMs), reps);
  std::printf("  %-28s %9.1f ms\n", "bare FindFirstFileExW scan", Median(bareMs));
  std::printf("  %-28s %9.2f       target <= 1.5: %s\n", "ratio", ratio,
              ratio <= 1.5 ? "met" : "MISSED");
  std::printf("  %-28s %9zu       %s\n", "files listed", listed.size(),
              !countRight  ? "WRONG"
              : pathsRight ? "same paths as bare scan and as created"
                           : "paths DIFFER");
  MeasureResponsiveness(desktop, intervalMs, utf8);

  const bool removed = folder.Remove();
  return countRight && pathsRight && removed ? 0 : 1;
}

}  // namespace
}  // namespace pelloram

int main(int argc, char** argv) {
  using namespace pelloram;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  g_frequency = static_cast<double>(frequency.QuadPart);
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    // The folder has been removed by now, on the way out of Run.
    std::fprintf(stderr, "list_bench: %s\n", e.what());
    return 1;
  }
}
