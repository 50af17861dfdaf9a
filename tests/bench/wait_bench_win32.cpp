// wait_bench: what the responsive wait costs and how quickly it answers, beside the same
// wait written as the spinning loop it replaces.
//
// For each kind of wait it runs one idle wait and one wait during which a second thread
// posts messages at random moments, each stamped with QueryPerformanceCounter; the window
// procedure records how long each took to be handled. CPU time is the waiting thread's
// (GetThreadTimes), set against the wall time as a share of one core.
//
// Under Wine every message-queue call is a round trip to the wineserver process, so much of
// a spinning wait's cost lands there, not in the thread. Given the server's process id in
// WAIT_BENCH_SERVER_PID (and the kernel's clock ticks per second in WAIT_BENCH_CLK_TCK), the
// benchmark reads its CPU time from /proc through Wine's Z: drive and counts it in.
//
//   wait_bench.exe [--ms 3000] [--messages 200] [--seed N]
#include <windows.h>
// After windows.h, which it needs.
#include <timeapi.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "client/desktop_win32.h"
#include "client/input.h"
#include "client/waits.h"

namespace pelloram {
namespace {

constexpr UINT kStamped = WM_APP + 1;

struct Options {
  int waitMs = 3000;
  int messages = 200;
  unsigned seed = 0;
};

double Frequency() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(f.QuadPart);
}

std::int64_t Now() {
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return c.QuadPart;
}

// User plus kernel time of the calling thread, in milliseconds.
double ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return NAN;
  const auto ticks = [](FILETIME t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

// CPU time of the wineserver in milliseconds, or NAN when it is not known.
double ServerCpuMs() {
  const char* pid = std::getenv("WAIT_BENCH_SERVER_PID");
  if (pid == nullptr || *pid == '\0') return NAN;
  const char* tck = std::getenv("WAIT_BENCH_CLK_TCK");
  const double ticksPerSecond = tck != nullptr && std::atoi(tck) > 0 ? std::atoi(tck) : 100;
  const std::string path = std::string("Z:\\proc\\") + pid + "\\stat";
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return NAN;
  char buf[1024] = {};
  const std::size_t n = std::fread(buf, 1, sizeof buf - 1, file);
  std::fclose(file);
  // Fields after the command name (which may hold blanks) start past its closing ')'.
  const char* rest = std::strrchr(buf, ')');
  if (n == 0 || rest == nullptr) return NAN;
  unsigned long long utime = 0;
  unsigned long long stime = 0;
  // state ppid pgrp session tty tpgid flags minflt cminflt majflt cmajflt utime stime
  if (std::sscanf(rest + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                  &stime) != 2)
    return NAN;
  return static_cast<double>(utime + stime) * 1000.0 / ticksPerSecond;
}

// Where the window procedure leaves the latencies it measured, in microseconds.
std::vector<double>* g_latencies = nullptr;
double g_frequency = 1;

LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kStamped) {
    const auto stamp = static_cast<std::int64_t>(wParam);
    if (g_latencies) g_latencies->push_back(static_cast<double>(Now() - stamp) * 1e6 / g_frequency);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateReceiver() {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = BenchWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PelloramWaitBench";
  RegisterClassW(&wc);
  return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         wc.hInstance, nullptr);
}

// The busy wait the responsive wait replaces: never blocks, keeps one core busy.
void SpinningDelay(Desktop& desktop, int milliseconds) {
  if (milliseconds <= 0) return;
  const std::uint32_t deadline = desktop.TickCount() + static_cast<std::uint32_t>(milliseconds);
  for (;;) {
    ProcessPendingEvents(desktop);
    ProcessPendingEvents(desktop);
    if (static_cast<std::int32_t>(desktop.TickCount() - deadline) > 0) return;
    ProcessPendingEvents(desktop);
    ProcessPendingEvents(desktop);
  }
}

using Delay = void (*)(Desktop&, int);

struct Run {
  double wallMs = 0;
  double cpuMs = 0;
  double serverMs = NAN;  // the wineserver's share of the work, when known
  double Share() const {
    const double total = cpuMs + (std::isnan(serverMs) ? 0 : serverMs);
    return wallMs > 0 ? total / wallMs : 0;
  }
};

Run TimeWait(Desktop& desktop, Delay delay, int ms) {
  const double server0 = ServerCpuMs();
  const double cpu0 = ThreadCpuMs();
  const std::int64_t t0 = Now();
  delay(desktop, ms);
  Run run;
  run.wallMs = static_cast<double>(Now() - t0) * 1000.0 / g_frequency;
  run.cpuMs = ThreadCpuMs() - cpu0;
  run.serverMs = ServerCpuMs() - server0;
  return run;
}

// Random moments spread over the wait, leaving its last tenth free so that every message
// is due while the wait still runs.
std::vector<double> PostingMoments(std::mt19937& random, int count, int waitMs) {
  std::uniform_real_distribution<double> at(20.0, waitMs * 0.9);
  std::vector<double> moments(static_cast<std::size_t>(count));
  for (double& m : moments) m = at(random);
  std::sort(moments.begin(), moments.end());
  return moments;
}

void PostAtMoments(HWND receiver, std::int64_t start, std::vector<double> momentsMs) {
  for (const double moment : momentsMs) {
    const std::int64_t due = start + static_cast<std::int64_t>(moment / 1000.0 * g_frequency);
    for (std::int64_t now = Now(); now < due; now = Now()) {
      const double leftMs = static_cast<double>(due - now) * 1000.0 / g_frequency;
      Sleep(leftMs > 2 ? static_cast<DWORD>(leftMs - 1) : 0);
    }
    PostMessageW(receiver, kStamped, static_cast<WPARAM>(Now()), 0);
  }
}

struct Result {
  Run idle;
  Run busy;
  std::vector<double> latencies;  // handled during the wait, microseconds
  int handledAfter = 0;           // still queued when the wait returned
};

Result Measure(Desktop& desktop, HWND receiver, Delay delay, const Options& options,
               std::mt19937& random) {
  Result result;
  result.idle = TimeWait(desktop, delay, options.waitMs);

  result.latencies.reserve(static_cast<std::size_t>(options.messages));
  g_latencies = &result.latencies;
  std::thread poster(PostAtMoments, receiver, Now(),
                     PostingMoments(random, options.messages, options.waitMs));
  result.busy = TimeWait(desktop, delay, options.waitMs);
  poster.join();
  g_latencies = nullptr;

  std::vector<double> late;
  g_latencies = &late;
  PumpMessages(desktop);
  g_latencies = nullptr;
  result.handledAfter = static_cast<int>(late.size());
  return result;
}

// Nearest-rank percentile of sorted values.
double Percentile(const std::vector<double>& sorted, double p) {
  if (sorted.empty()) return NAN;
  const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(sorted.size())));
  return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

void PrintHeader() {
  std::printf("%-16s | %-33s | %-24s | %s\n", "", "idle wait", "with posted messages",
              "message posted -> handled");
  std::printf("%-16s | %7s %8s %8s %7s | %8s %8s %6s | %9s %8s %8s %8s\n", "wait", "wall ms",
              "CPU ms", "server", "share", "CPU ms", "server", "share", "in wait", "p50 us",
              "p99 us", "max us");
}

void PrintRow(const char* name, Result r, int messages) {
  std::sort(r.latencies.begin(), r.latencies.end());
  const std::string handled = std::to_string(r.latencies.size()) + "/" + std::to_string(messages);
  std::printf("%-16s | %7.0f %8.1f %8.1f %6.1f%% | %8.1f %8.1f %5.1f%% | %9s %8.0f %8.0f %8.0f\n",
              name, r.idle.wallMs, r.idle.cpuMs, r.idle.serverMs, 100.0 * r.idle.Share(),
              r.busy.cpuMs, r.busy.serverMs, 100.0 * r.busy.Share(), handled.c_str(),
              Percentile(r.latencies, 0.5), Percentile(r.latencies, 0.99),
              r.latencies.empty() ? NAN : r.latencies.back());
  if (r.handledAfter > 0)
    std::printf("  (%d messages were handled only after the wait)\n", r.handledAfter);
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  options.seed = static_cast<unsigned>(GetTickCount());
  for (int i = 1; i + 1 < argc; i += 2) {
    const int value = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--ms") == 0) options.waitMs = std::max(value, 100);
    if (std::strcmp(argv[i], "--messages") == 0) options.messages = std::max(value, 1);
    if (std::strcmp(argv[i], "--seed") == 0) options.seed = static_cast<unsigned>(value);
  }
  return options;
}

}  // namespace
}  // namespace pelloram

int main(int argc, char** argv) {
  using namespace pelloram;
  const Options options = ParseOptions(argc, argv);
  g_frequency = Frequency();
  // 1 ms timer resolution, so the poster's sleeps land near their random moments on Windows
  // too (Wine has it anyway). Both waits run under the same setting.
  timeBeginPeriod(1);

  Win32Desktop desktop;
  const HWND receiver = CreateReceiver();
  if (receiver == nullptr) {
    std::fprintf(stderr, "wait_bench: cannot create the receiving window\n");
    return 1;
  }
  std::mt19937 random(options.seed);

  std::printf("wait of %d ms; %d messages posted at random moments by a second thread (seed %u)\n",
              options.waitMs, options.messages, options.seed);
  std::printf(
      "CPU ms: the waiting thread; server: the wineserver's CPU ms (nan when unknown);\n"
      "share: their sum over the wall time, of one core\n\n");
  PrintHeader();
  const Result responsive = Measure(
      desktop, receiver, [](Desktop& d, int ms) { ResponsiveDelay(d, ms); }, options, random);
  PrintRow("ResponsiveDelay", responsive, options.messages);
  const Result spinning = Measure(desktop, receiver, SpinningDelay, options, random);
  PrintRow("spinning loop", spinning, options.messages);

  DestroyWindow(receiver);
  timeEndPeriod(1);
  return 0;
}
