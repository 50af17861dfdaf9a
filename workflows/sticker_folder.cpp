#include "workflows/sticker_folder.h"

#include <filesystem>
#include <system_error>

#include "client/input.h"
#include "services/convert.h"
#include "workflows/run_steps.h"

namespace pelloram {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::filesystem::path PathFromUtf8(std::string_view text) {
  // Through char8_t, so Windows never reads the bytes in its ANSI code page.
  std::u8string bytes(text.size(), u8'\0');
  for (std::size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<char8_t>(text[i]);
  return std::filesystem::path(bytes);
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string bytes = path.u8string();
  return std::string(bytes.begin(), bytes.end());
}

// One pass over the folder for one pattern, appending each matching file.
void ListPattern(Desktop& desktop, const std::string& folderWithSeparator,
                 std::string_view pattern, std::vector<std::string>& list) {
  std::error_code error;
  std::filesystem::directory_iterator it(PathFromUtf8(folderWithSeparator), error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    std::error_code kindError;
    if (it->is_directory(kindError)) continue;
    const std::string name = Utf8FromPath(it->path().filename());
    if (!MatchesPattern(name, pattern)) continue;
    list.push_back(folderWithSeparator + name);
    PumpMessages(desktop);
  }
}

}  // namespace

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  // Iterative wildcard match with single-star backtracking; ASCII letters ignore case.
  std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

int ListFiles(Desktop& desktop, std::string_view folder, std::string_view patterns,
              std::vector<std::string>& list) {
  list.clear();
  std::string base(folder);
  if (RightText(base, 1) != std::string(1, kSeparator)) base += kSeparator;
  for (const std::string& pattern : SplitText(patterns, "|")) {
    ListPattern(desktop, base, pattern, list);
  }
  return static_cast<int>(list.size());
}

void ChooseStickerFolder(Tool& tool) {
  // Listing pumps messages; a second choice nested inside it would replace the list
  // while it is being filled.
  if (tool.state.listing || tool.state.closing) return;
  const std::string folder = tool.ui.BrowseForFolder(kFolderPickerTitle);
  if (folder.empty()) return;
  tool.state.listing = true;
  std::vector<std::string> listed;
  const int count = ListFiles(tool.desktop, folder, "*.gif", listed);
  tool.state.listing = false;
  if (tool.state.closing) return;
  // Swapped in whole: a run that starts meanwhile never sees a half-filled list.
  tool.state.StickerFileList = std::move(listed);
  tool.ui.WriteControlText(Control::标签10, std::string(kCountLabelPrefix) + ToText(count));
}

}  // namespace pelloram
