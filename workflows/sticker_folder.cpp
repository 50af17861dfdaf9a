#include "workflows/sticker_folder.h"

#include "client/input.h"
#include "client/waits.h"
#include "services/convert.h"

namespace pelloram {
namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// One pass of the directory search for one pattern, appending each matching file. The
// window's messages are handled after every file taken, at most once per clock tick:
// under Wine every look at an empty queue is a round trip to the server.
void ListPattern(Desktop& desktop, const std::string& folderWithSeparator, std::string_view pattern,
                 std::vector<std::string>& list) {
  bool pumped = false;
  std::uint32_t lastPump = 0;
  desktop.ForEachFolderEntry(folderWithSeparator, pattern,
                             [&](std::string_view name, bool isDirectory) {
                               // The system also matches 8.3 short names ("LONGNA~1.GIF" for
                               // "a.gifx"): only the long name counts.
                               if (isDirectory || !MatchesPattern(name, pattern)) return;
                               list.push_back(folderWithSeparator + std::string(name));
                               const std::uint32_t now = desktop.TickCount();
                               if (!pumped || now != lastPump) {
                                 PumpMessages(desktop);
                                 pumped = true;
                                 lastPump = now;
                               }
                             });
}

}  // namespace

std::string FileNameOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string FolderOf(const std::string& path) {
  const std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

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
  // Whatever arrived since the last file is handled before the listing ends.
  PumpMessages(desktop);
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
  // Swapped in whole: a run that starts meanwhile never sees a half-filled list. A pause
  // of the old folder's pass is forgotten: the new folder starts from its first file.
  tool.state.stickerFiles = std::move(listed);
  tool.state.pausedAdd.reset();
  ++tool.state.addPassResets;
  tool.ui.WriteControlText(Control::FolderCountLabel,
                           std::string(kCountLabelPrefix) + ToText(count));
}

}  // namespace pelloram
