// practice_client.exe: a stand-in for the WeChat desktop client to try Pelloram on.
//
// It shows a frameless window of class "WeChatMainWndForPC" titled "微信" (910 x 647, or the
// size asked for, laid out again whenever its size changes; both in 96-dpi units, times the
// scale of its monitor on the screen), laid out so that at the default
// size the tool's built-in points land on the right things: the sticker button and
// the collected tab of the sticker panel, the first collected sticker and its menu with the
// delete item, the file button that opens a real file-open dialog ("打开", which refuses a
// path that names no file, or a file that another program holds open), the newest sent
// message and its menu with the add item. Menus are popup windows of their own
// ("PracticeMenu"), as the chat client's are. Adding a sticker that is already collected
// brings up the forward window ("SelectContactWnd" / "转发给"), which Escape closes. Drag the
// window by its top strip; the × box closes it.
//
//   practice_client [--stickers N] [--collected "a.gif|b.gif"] [--journal PATH] [--pos X Y]
//                   [--size W H] [--close-after EVENT:N] [--move-after EVENT:N X Y]
//                   [--resize-after EVENT:N W H] [--look CONTROL:VARIANT] [--generation ...]
//     --stickers N    initial collection sticker01.gif ... (default 10, at most 10000)
//     --collected     initial collection with these names, separated by |
//     --journal PATH  one JSON object per line for every click, key, dialog, send, delete,
//                     add and refusal, each with "seq" and the collection size "count";
//                     the file is truncated at start and each line is written as it happens
//     --pos X Y       top-left corner on the screen (default 200 120)
//     --close-after EVENT:N
//                     ends at once, as if killed, right after the N-th journal line of that
//                     event ("deleted:2", "added:1", "sent:3"), journaling "closing"
//   The rest are listed by --help (kUsage in command_line.cpp).
//
// Bad arguments are reported on standard error with exit code 2.
// <windows.h> first: the other Win32 headers depend on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <string>
#include <vector>

#include "practice_client/command_line.h"
#include "practice_client/shell_win32.h"
#include "services/unique_handle_win32.h"
#include "services/utf16.h"

namespace practice {
namespace {

class Journal {
 public:
  bool Open(const std::string& path) {
    // Shared for reading and deleting: tests read it while the client runs.
    file_.reset(CreateFileW(pelloram::Wide(path).c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file_);
  }

  // One unbuffered write per line, so a reader never waits for a buffer to fill.
  void Write(const std::string& line) {
    if (!file_) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file_.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }

 private:
  pelloram::UniqueFile file_;
};

void WriteTo(DWORD stream, const std::string& text) {
  HANDLE handle = GetStdHandle(stream);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::vector<std::string> Arguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.push_back(pelloram::Narrow(argv[i]));
  LocalFree(argv);
  return args;
}

int CALLBACK NoteFontFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// A face with both Chinese and Latin letters: Windows has the first, Wine usually the third.
std::wstring ReadableFace() {
  HDC dc = GetDC(nullptr);
  std::wstring chosen;
  for (const wchar_t* face : {L"Microsoft YaHei", L"SimSun", L"WenQuanYi Micro Hei"}) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, NoteFontFound, reinterpret_cast<LPARAM>(&found), 0);
    if (found) {
      chosen = face;
      break;
    }
  }
  ReleaseDC(nullptr, dc);
  return chosen;
}

int Run(HINSTANCE instance) {
  LaunchOptions options;
  std::string error;
  if (!ParseCommandLine(Arguments(), options, error)) {
    WriteTo(STD_ERROR_HANDLE, "practice_client: " + error + "\n" + kUsage);
    return 2;
  }
  if (options.help) {
    WriteTo(STD_OUTPUT_HANDLE, kUsage);
    return 0;
  }
  Journal journal;
  if (!options.journalPath.empty() && !journal.Open(options.journalPath)) {
    WriteTo(STD_ERROR_HANDLE, "practice_client: cannot write " + options.journalPath + "\n");
    return 2;
  }

  Shell shell(Model(options.model, [&journal](const std::string& line) { journal.Write(line); }));
  shell.instance = instance;
  shell.generation = options.generation;
  shell.fontFace = ReadableFace();
  // The first guess at the window's scale; the window, once made, tells its own.
  AdoptDpi(shell, DpiOfWindow(nullptr));
  if (!RegisterMainWindowClass(instance, options.generation) ||
      !RegisterForwardWindowClass(instance) ||
      !RegisterPopupWindowClasses(instance, options.generation) ||
      !CreateMainWindow(shell, options.left, options.top, options.generation)) {
    WriteTo(STD_ERROR_HANDLE, "practice_client: cannot create the window\n");
    return 1;
  }
  SetForegroundWindow(shell.main);
  SetFocus(shell.main);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DeleteFonts(shell);
  return 0;
}

}  // namespace
}  // namespace practice

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return practice::Run(instance); }
