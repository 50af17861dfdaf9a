// list_bench: how long the sticker-folder listing takes beside a bare directory scan of the
// same folder, and how responsive the window stays while it runs.
//
// It fills a fresh folder under %TEMP% with small GIF files (every tenth named *.GIF, a few
// with Chinese names), as many PNG and text files, and one subfolder whose name ends in .gif,
// then times, in alternating order:
//   ListFiles   the tool's listing with "*.gif" through a real Win32Desktop;
//   bare scan   FindFirstFileExW(folder\*.gif, FindExInfoBasic, FIND_FIRST_EX_LARGE_FETCH)
//               and FindNextFileW, collecting the same UTF-8 full paths.
// A few variants that each leave out or isolate one part of the listing's work follow, so
// that a slow listing shows where its time goes. Then one more listing runs while a second
// thread posts stamped messages to a message-only window of this thread; the window
// procedure records how long each waited.
//
//   list_bench.exe [--gifs 10000] [--reps 5] [--interval-ms 1]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "client/desktop.h"
#include "client/desktop_win32.h"
#include "client/input.h"
#include "services/utf16.h"
#include "workflows/sticker_folder.h"

namespace pelloram {
namespace {

constexpr UINT kStamped = WM_APP + 2;

struct Options {
  int gifs = 10000;
  int reps = 5;
  int intervalMs = 1;
};

double g_frequency = 1;

std::int64_t Now() {
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return c.QuadPart;
}

double MsBetween(std::int64_t from, std::int64_t to) {
  return static_cast<double>(to - from) * 1000.0 / g_frequency;
}

std::string Utf8FromWide(const wchar_t* text) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text)));
}

// --- the test folder ---

// The folder and everything in it; removed again however the program leaves main.
class TestFolder {
 public:
  TestFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return;
    // Process id and tick count: two benchmarks running at once never share a folder.
    const std::wstring base = std::wstring(temp) + L"pelloram-list-bench-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount());
    if (CreateDirectoryW(base.c_str(), nullptr)) path_ = base;
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  ~TestFolder() { Remove(); }

  bool ok() const { return !path_.empty(); }
  const std::wstring& path() const { return path_; }

  bool AddFile(const std::wstring& name) {
    static constexpr char kBytes[] = "GIF89a";
    const std::wstring full = path_ + L"\\" + name;
    const HANDLE file = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool wrote = WriteFile(file, kBytes, sizeof kBytes - 1, &written, nullptr) != FALSE;
    CloseHandle(file);
    return wrote;
  }

  bool AddFolder(const std::wstring& name) {
    return CreateDirectoryW((path_ + L"\\" + name).c_str(), nullptr) != FALSE;
  }

  // False when something was left behind.
  bool Remove() {
    if (path_.empty()) return true;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW((path_ + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring full = path_ + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveDirectoryW(full.c_str());
        else
          DeleteFileW(full.c_str());
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
    const bool removed = RemoveDirectoryW(path_.c_str()) != FALSE;
    if (!removed)
      std::fprintf(stderr, "list_bench: could not remove %s\n",
                   Utf8FromWide(path_.c_str()).c_str());
    path_.clear();
    return removed;
  }

 private:
  std::wstring path_;
};

std::wstring GifName(int i) {
  // Every tenth extension in capitals; every hundredth name in Chinese, so the listing's
  // UTF-16 to UTF-8 conversions meet more than ASCII.
  const std::wstring stem = (i % 100 == 7 ? L"表情" : L"sticker") + std::to_wstring(i);
  return stem + (i % 10 == 3 ? L".GIF" : L".gif");
}

std::wstring OtherName(int i) {
  return L"other" + std::to_wstring(i) + (i % 2 == 0 ? L".png" : L".txt");
}

bool Populate(TestFolder& folder, int gifs) {
  // Interleaved, so the matches are spread through the directory order.
  for (int i = 0; i < gifs; ++i) {
    if (!folder.AddFile(GifName(i)) || !folder.AddFile(OtherName(i))) return false;
  }
  // Its name matches the pattern; the listing must pass it over.
  return folder.AddFolder(L"folder.gif");
}

// --- what is timed ---

// The queue is always empty: ListFiles without the cost of pumping.
class QuietDesktop final : public Desktop {
 public:
  WindowHandle FindTopLevelWindow(std::string_view, std::string_view) override { return 0; }
  bool ReadWindowRect(WindowHandle, Rect&) override { return false; }
  bool MoveWindowTo(WindowHandle, int, int, int, int) override { return false; }
  bool ClientOriginToScreen(WindowHandle, Point&) override { return false; }
  WindowHandle ForegroundWindow() override { return 0; }
  bool ReadCursor(Point&) override { return false; }
  void MoveCursor(Point) override {}
  void ClickButton(MouseButton) override {}
  void SendKey(int, bool) override {}
  bool PutClipboardText(WindowHandle, std::string_view) override { return false; }
  std::uint32_t TickCount() override { return 0; }
  void Sleep(int) override {}
  PendingMessage PeekPending() override { return PendingMessage::None; }
  void DispatchNext() override {}
  PendingMessage RemoveAndDispatch(int&) override { return PendingMessage::None; }
  void PostQuit(int) override {}
  void WaitForMessage(int) override {}
};

struct Target {
  std::wstring wide;  // no trailing backslash
  std::string utf8;
};

// The system's own directory search, filtered by the system, as the listing would be
// written directly over Win32.
int BareScan(const Target& folder, const wchar_t* pattern, bool matchHere,
             std::vector<std::string>& list) {
  list.clear();
  const std::string base = folder.utf8 + "\\";
  WIN32_FIND_DATAW data;
  const HANDLE find =
      FindFirstFileExW((folder.wide + L"\\" + pattern).c_str(), FindExInfoBasic, &data,
                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string name = Utf8FromWide(data.cFileName);
    if (matchHere && !MatchesPattern(name, "*.gif")) continue;
    list.push_back(base + name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return static_cast<int>(list.size());
}

// How many entries the directory search returns before the first GIF: a listing that pumps
// only after files taken leaves the window waiting through all of them.
int EntriesBeforeFirstGif(const Target& folder) {
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileExW((folder.wide + L"\\*").c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return -1;
  int before = 0;
  do {
    const bool gif = !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                     MatchesPattern(Utf8FromWide(data.cFileName), "*.gif");
    if (gif) break;
    ++before;
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return before;
}

// The listing's std::filesystem walk with parts of its per-entry work switched on.
struct WalkParts {
  bool status = false;   // directory_entry::is_directory
  bool convert = false;  // file name to UTF-8, match, full path appended
};

int FilesystemWalk(const Target& folder, WalkParts parts, std::vector<std::string>& list) {
  list.clear();
  const std::string base = folder.utf8 + "\\";
  std::error_code error;
  int entries = 0;
  std::filesystem::directory_iterator it(std::filesystem::path(folder.wide), error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    ++entries;
    std::error_code kindError;
    if (parts.status && it->is_directory(kindError)) continue;
    if (!parts.convert) continue;
    const std::u8string bytes = it->path().filename().u8string();
    std::string name(bytes.begin(), bytes.end());
    if (MatchesPattern(name, "*.gif")) list.push_back(base + name);
  }
  return parts.convert ? static_cast<int>(list.size()) : entries;
}

struct Sample {
  std::vector<double> ms;
  int count = -1;
  bool countsAgree = true;
  void Add(double value, int n) {
    ms.push_back(value);
    if (count >= 0 && n != count) countsAgree = false;
    count = n;
  }
  double Median() const {
    if (ms.empty()) return NAN;
    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t mid = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
  }
};

template <typename Work>
void TimeOnce(Sample& sample, Work work) {
  const std::int64_t t0 = Now();
  const int n = work();
  sample.Add(MsBetween(t0, Now()), n);
}

// --- candidate listings: the same result with less work per entry ---

// Pumps after every file taken, as the tool does, or after any entry once the tick count has
// moved since the last pump: one pass per tick at most, and no entry, taken or passed over,
// keeps a message waiting longer than about a tick.
class Pacer {
 public:
  Pacer(Desktop& desktop, bool everyTick) : desktop_(desktop), everyTick_(everyTick) {}
  void AfterEntry(bool taken) {
    if (everyTick_) {
      const std::uint32_t now = desktop_.TickCount();
      if (now == last_) return;
      last_ = now;
    } else if (!taken) {
      return;
    }
    PumpMessages(desktop_);
  }

 private:
  Desktop& desktop_;
  bool everyTick_;
  std::uint32_t last_ = 0;
};

// The tool's walk with the name matched first, so only matching entries pay for the status.
int MatchFirstWalk(Desktop& desktop, const Target& folder, bool everyTick,
                   std::vector<std::string>& list) {
  list.clear();
  Pacer pacer(desktop, everyTick);
  const std::string base = folder.utf8 + "\\";
  std::error_code error;
  std::filesystem::directory_iterator it(std::filesystem::path(folder.wide), error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    const std::u8string bytes = it->path().filename().u8string();
    std::string name(bytes.begin(), bytes.end());
    std::error_code kindError;
    const bool taken = MatchesPattern(name, "*.gif") && !it->is_directory(kindError);
    if (taken) list.push_back(base + name);
    pacer.AfterEntry(taken);
  }
  return static_cast<int>(list.size());
}

// The system's search with the attributes it already returned, pumping as the tool does.
int PacedScan(Desktop& desktop, const Target& folder, bool everyTick,
              std::vector<std::string>& list) {
  list.clear();
  Pacer pacer(desktop, everyTick);
  const std::string base = folder.utf8 + "\\";
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileExW((folder.wide + L"\\*.gif").c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const bool taken = !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (taken) list.push_back(base + Utf8FromWide(data.cFileName));
    pacer.AfterEntry(taken);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return static_cast<int>(list.size());
}

// --- responsiveness ---

struct Handled {
  std::int64_t stamp;
  std::int64_t at;
};

struct Probe {
  bool inListing = false;
  std::vector<Handled> within;           // handled by the listing's own pumping
  std::vector<std::int64_t> lateStamps;  // handled by the pump after it
};
Probe* g_probe = nullptr;

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kStamped) {
    const auto stamp = static_cast<std::int64_t>(wParam);
    if (g_probe && g_probe->inListing)
      g_probe->within.push_back({stamp, Now()});
    else if (g_probe)
      g_probe->lateStamps.push_back(stamp);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateProbeWindow() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = ProbeWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PelloramListBench";
  RegisterClassW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         wc.hInstance, nullptr);
}

// Posts a stamped message every interval until told to stop; keeps the stamps it posted.
void PostSteadily(HWND receiver, int intervalMs, std::atomic<bool>& ready,
                  const std::atomic<bool>& go, const std::atomic<bool>& stop,
                  std::vector<std::int64_t>& stamps) {
  ready = true;
  while (!go.load()) Sleep(0);
  while (!stop.load()) {
    const std::int64_t stamp = Now();
    if (PostMessageW(receiver, kStamped, static_cast<WPARAM>(stamp), 0)) stamps.push_back(stamp);
    Sleep(static_cast<DWORD>(intervalMs));
  }
}

struct Responsiveness {
  double listingMs = 0;
  int posted = 0;          // stamped before the listing returned
  int handledWithin = 0;   // by the listing's own pumping
  int queuedAfter = 0;     // posted - handledWithin
  int handledLater = 0;    // of those, found by the pump after the listing
  double firstAtMs = NAN;  // first message handled, from the listing's start
  double medianUs = NAN;
  double p99Us = NAN;
  double maxUs = NAN;
  double maxAtMs = NAN;  // when the longest-waiting message was posted
  int over16ms = 0;
};

template <typename Listing>
Responsiveness MeasureResponsiveness(Desktop& desktop, HWND receiver, int intervalMs,
                                     Listing listing) {
  Probe probe;
  probe.within.reserve(100000);
  g_probe = &probe;
  std::vector<std::int64_t> stamps;
  stamps.reserve(100000);
  std::atomic<bool> ready = false;
  std::atomic<bool> go = false;
  std::atomic<bool> stop = false;
  std::thread poster(PostSteadily, receiver, intervalMs, std::ref(ready), std::cref(go),
                     std::cref(stop), std::ref(stamps));
  // The listing starts once the poster runs, so its first message is not late by a thread start.
  while (!ready.load()) Sleep(0);

  probe.inListing = true;
  go = true;
  const std::int64_t t0 = Now();
  listing();
  const std::int64_t t1 = Now();
  probe.inListing = false;
  stop = true;
  poster.join();
  PumpMessages(desktop);
  g_probe = nullptr;

  Responsiveness r;
  r.listingMs = MsBetween(t0, t1);
  const auto before = [t1](std::int64_t s) { return s < t1; };
  r.posted = static_cast<int>(std::count_if(stamps.begin(), stamps.end(), before));
  r.handledWithin = static_cast<int>(probe.within.size());
  r.queuedAfter = r.posted - r.handledWithin;
  r.handledLater =
      static_cast<int>(std::count_if(probe.lateStamps.begin(), probe.lateStamps.end(), before));
  if (probe.within.empty()) return r;
  r.firstAtMs = MsBetween(t0, probe.within.front().at);
  std::vector<double> us;
  for (const Handled& h : probe.within) us.push_back(MsBetween(h.stamp, h.at) * 1000.0);
  const auto longest = std::max_element(us.begin(), us.end());
  r.maxUs = *longest;
  r.maxAtMs = MsBetween(t0, probe.within[static_cast<std::size_t>(longest - us.begin())].stamp);
  r.over16ms =
      static_cast<int>(std::count_if(us.begin(), us.end(), [](double v) { return v > 16000; }));
  std::sort(us.begin(), us.end());
  r.medianUs = us[us.size() / 2];
  r.p99Us = us[std::min(us.size() - 1, us.size() * 99 / 100)];
  return r;
}

void PrintResponsiveness(const char* name, const Responsiveness& r) {
  std::printf("  %-34s %8.1f %6d %6d %6d %8.1f %8.0f %8.0f %8.0f %8.1f %5d\n", name, r.listingMs,
              r.posted, r.handledWithin, r.queuedAfter, r.firstAtMs, r.medianUs, r.p99Us, r.maxUs,
              r.maxAtMs, r.over16ms);
}

// --- running it ---

struct Figures {
  Sample listFiles, bare;
  Sample quietListFiles, pumpOnly, walk, walkStatus, walkConvert, bareMatchHere;
  Sample matchFirst, matchFirstTick, scanPerFile, scanTick;
  std::vector<std::string> listFilesList, bareList;
};

void RunMainPair(Figures& f, Win32Desktop& desktop, const Target& folder, bool listFirst) {
  const auto list = [&] { return ListFiles(desktop, folder.utf8, "*.gif", f.listFilesList); };
  const auto bare = [&] { return BareScan(folder, L"*.gif", false, f.bareList); };
  if (listFirst) {
    TimeOnce(f.listFiles, list);
    TimeOnce(f.bare, bare);
  } else {
    TimeOnce(f.bare, bare);
    TimeOnce(f.listFiles, list);
  }
}

void RunBreakdown(Figures& f, Win32Desktop& desktop, const Target& folder, int gifs) {
  std::vector<std::string> scratch;
  QuietDesktop quiet;
  TimeOnce(f.quietListFiles, [&] { return ListFiles(quiet, folder.utf8, "*.gif", scratch); });
  TimeOnce(f.pumpOnly, [&] {
    for (int i = 0; i < gifs; ++i) PumpMessages(desktop);
    return gifs;
  });
  TimeOnce(f.walk, [&] { return FilesystemWalk(folder, {}, scratch); });
  TimeOnce(f.walkStatus, [&] { return FilesystemWalk(folder, {.status = true}, scratch); });
  TimeOnce(f.walkConvert, [&] { return FilesystemWalk(folder, {.convert = true}, scratch); });
  TimeOnce(f.bareMatchHere, [&] { return BareScan(folder, L"*", true, scratch); });
}

void RunCandidates(Figures& f, Win32Desktop& desktop, const Target& folder) {
  std::vector<std::string> scratch;
  TimeOnce(f.matchFirst, [&] { return MatchFirstWalk(desktop, folder, false, scratch); });
  TimeOnce(f.matchFirstTick, [&] { return MatchFirstWalk(desktop, folder, true, scratch); });
  TimeOnce(f.scanPerFile, [&] { return PacedScan(desktop, folder, false, scratch); });
  TimeOnce(f.scanTick, [&] { return PacedScan(desktop, folder, true, scratch); });
}

void PrintRow(const char* name, const Sample& s, double bareMs, int perFiles) {
  std::printf("  %-48s %6d%s %9.1f %9.2f %7.2fx\n", name, s.count, s.countsAgree ? " " : "!",
              s.Median(), s.Median() * 1000.0 / perFiles, s.Median() / bareMs);
}

void PrintFigures(const Figures& f, int gifs, int reps) {
  const double bare = f.bare.Median();
  std::printf("\nmedian of %d runs each; us/file over the %d GIF files; '!' = counts differed\n\n",
              reps, gifs);
  std::printf("  %-48s %7s %9s %9s %8s\n", "", "count", "ms", "us/file", "vs bare");
  PrintRow("ListFiles \"*.gif\", Win32Desktop", f.listFiles, bare, gifs);
  PrintRow("bare scan FindFirstFileExW \"*.gif\"", f.bare, bare, gifs);
  std::printf("\nwhere the listing's time goes (count: entries, or files listed):\n");
  PrintRow("ListFiles, queue always empty (no Win32 pump)", f.quietListFiles, bare, gifs);
  PrintRow("PumpMessages on an empty queue, once per GIF", f.pumpOnly, bare, gifs);
  PrintRow("std::filesystem walk, entries only", f.walk, bare, gifs);
  PrintRow("  + is_directory per entry", f.walkStatus, bare, gifs);
  PrintRow("  + UTF-8 name, match, path (no is_directory)", f.walkConvert, bare, gifs);
  PrintRow("bare scan \"*\", matched here", f.bareMatchHere, bare, gifs);
  std::printf("\ncandidate listings (prototypes in this benchmark only):\n");
  PrintRow("walk, match first, is_directory, pump per file", f.matchFirst, bare, gifs);
  PrintRow("  the same, pump when the tick moved", f.matchFirstTick, bare, gifs);
  PrintRow("FindFirstFileExW, pump per file", f.scanPerFile, bare, gifs);
  PrintRow("FindFirstFileExW, pump when the tick moved", f.scanTick, bare, gifs);
}

bool SameLists(std::vector<std::string> a, std::vector<std::string> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

void PrintSummary(const Figures& f, const Responsiveness& r, int gifs) {
  const double ratio = f.listFiles.Median() / f.bare.Median();
  std::printf("\n%-28s %d%s\n", "files listed", f.listFiles.count,
              f.listFiles.count == gifs ? "" : "  WRONG");
  std::printf("%-28s %s\n", "same paths as bare scan",
              SameLists(f.listFilesList, f.bareList) ? "yes" : "NO");
  std::printf("%-28s %.1f ms\n", "ListFiles (median)", f.listFiles.Median());
  std::printf("%-28s %.1f ms\n", "bare scan (median)", f.bare.Median());
  std::printf("%-28s %.2f (target <= 1.5: %s)\n", "ratio", ratio, ratio <= 1.5 ? "met" : "missed");
  std::printf("%-28s %d / %d\n", "messages posted / handled", r.posted, r.handledWithin);
}

// 1 ms timer resolution, so the poster's Sleep(1) is about 1 ms on Windows too (Wine has it
// anyway). Looked up at run time to keep the link to the two libraries under test.
class TimerResolution {
 public:
  TimerResolution() {
    winmm_ = LoadLibraryW(L"winmm.dll");
    if (winmm_ == nullptr) return;
    begin_ = Lookup("timeBeginPeriod");
    end_ = Lookup("timeEndPeriod");
    if (begin_ != nullptr) begin_(1);
  }
  TimerResolution(const TimerResolution&) = delete;
  TimerResolution& operator=(const TimerResolution&) = delete;
  ~TimerResolution() {
    if (begin_ != nullptr && end_ != nullptr) end_(1);
    if (winmm_ != nullptr) FreeLibrary(winmm_);
  }

 private:
  using Period = UINT(WINAPI*)(UINT);
  Period Lookup(const char* name) {
    // Through void(*)(), the one function type every other converts to without a warning.
    return reinterpret_cast<Period>(reinterpret_cast<void (*)()>(GetProcAddress(winmm_, name)));
  }
  HMODULE winmm_ = nullptr;
  Period begin_ = nullptr;
  Period end_ = nullptr;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const int value = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--gifs") == 0) options.gifs = std::max(value, 10);
    if (std::strcmp(argv[i], "--reps") == 0) options.reps = std::max(value, 1);
    if (std::strcmp(argv[i], "--interval-ms") == 0) options.intervalMs = std::max(value, 0);
  }
  return options;
}

int Run(const Options& options) {
  TestFolder folder;
  if (!folder.ok()) {
    std::fprintf(stderr, "list_bench: cannot create a folder under %%TEMP%%\n");
    return 1;
  }
  const Target target{folder.path(), Utf8FromWide(folder.path().c_str())};
  std::printf("folder %s: %d GIF files (every tenth *.GIF), %d PNG/text files, 1 subfolder\n",
              target.utf8.c_str(), options.gifs, options.gifs);
  const std::int64_t t0 = Now();
  if (!Populate(folder, options.gifs)) {
    std::fprintf(stderr, "list_bench: cannot create the test files\n");
    return 1;
  }
  std::printf(
      "created in %.0f ms; the directory search returns %d entries (with . and ..)"
      " before the first GIF\n",
      MsBetween(t0, Now()), EntriesBeforeFirstGif(target));

  Win32Desktop desktop;
  const HWND receiver = CreateProbeWindow();
  if (receiver == nullptr) {
    std::fprintf(stderr, "list_bench: cannot create the message-only window\n");
    return 1;
  }

  // One untimed round warms the directory cache for both.
  Figures warm;
  RunMainPair(warm, desktop, target, true);
  Figures f;
  for (int rep = 0; rep < options.reps; ++rep) RunMainPair(f, desktop, target, rep % 2 == 0);
  for (int rep = 0; rep < options.reps; ++rep) RunBreakdown(f, desktop, target, options.gifs);

  for (int rep = 0; rep < options.reps; ++rep) RunCandidates(f, desktop, target);
  PrintFigures(f, options.gifs, options.reps);

  const TimerResolution resolution;
  std::printf(
      "\nresponsiveness: a second thread posts a stamped message every %d ms during one listing;"
      "\nqueued: posted before it returned, not yet handled; first/max at: ms into the listing\n\n",
      options.intervalMs);
  std::printf("  %-34s %8s %6s %6s %6s %8s %8s %8s %8s %8s %5s\n", "", "ms", "posted", "within",
              "queued", "first at", "p50 us", "p99 us", "max us", "max at", ">16ms");
  std::vector<std::string> list;
  const Responsiveness r = MeasureResponsiveness(desktop, receiver, options.intervalMs, [&] {
    ListFiles(desktop, target.utf8, "*.gif", list);
  });
  PrintResponsiveness("ListFiles", r);
  if (r.queuedAfter != r.handledLater)
    std::printf("  (the pump after the listing found %d of them)\n", r.handledLater);
  PrintResponsiveness("FindFirstFileExW, pump on tick",
                      MeasureResponsiveness(desktop, receiver, options.intervalMs,
                                            [&] { PacedScan(desktop, target, true, list); }));
  PrintSummary(f, r, options.gifs);

  DestroyWindow(receiver);
  const bool sound = f.listFiles.count == options.gifs && SameLists(f.listFilesList, f.bareList);
  return folder.Remove() && sound ? 0 : 1;
}

}  // namespace
}  // namespace pelloram

int main(int argc, char** argv) {
  using namespace pelloram;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  g_frequency = static_cast<double>(frequency.QuadPart);
  try {
    return Run(ParseOptions(argc, argv));
  } catch (const std::exception& e) {
    // The folder has been removed by now, on the way out of Run.
    std::fprintf(stderr, "list_bench: %s\n", e.what());
    return 1;
  }
}
