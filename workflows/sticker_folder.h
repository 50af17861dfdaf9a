// Choosing the sticker folder and listing its GIF files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "workflows/tool.h"

namespace pelloram {

inline constexpr std::string_view kFolderPickerTitle = "选择要添加的表情文件夹";
inline constexpr std::string_view kCountLabelPrefix = "当前表情数量： ";

void ChooseStickerFolder(Tool& tool);
// Fills `list` with folder + "\" + name of every file directly in the folder that
// matches one of the "|"-separated patterns (case-insensitive), in directory order,
// pumping messages after each; returns the count.
int ListFiles(Desktop& desktop, std::string_view folder, std::string_view patterns,
              std::vector<std::string>& list);
// The file's name, and its folder with the separator, of a full path as the list holds it.
std::string FileNameOf(const std::string& path);
std::string FolderOf(const std::string& path);
// Case-insensitive wildcard match with "*" and "?", as the system matches "*.gif".
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace pelloram
