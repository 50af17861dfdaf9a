// The Desktop seam over Win32, its files: the folder search, file and folder checks, the
// start of a file, and the file-name box of the system's open dialog.
#include <windows.h>

#include <algorithm>
#include <string>

#include "client/desktop_win32.h"
#include "client/handles_win32.h"
#include "services/unique_handle_win32.h"
#include "services/utf16.h"

namespace pelloram {

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

}  // namespace pelloram
