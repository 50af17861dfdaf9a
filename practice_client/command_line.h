// The practice client's command line, parsed without Win32 so that it can be tested.
#pragma once

#include <string>
#include <vector>

#include "practice_client/model.h"

namespace practice {

// Which generation of the chat client the main window plays: its class and title.
enum class Generation : int { Classic, NewerChinese, NewerEnglish };

struct LaunchOptions {
  Options model;
  Generation generation = Generation::Classic;
  std::string journalPath;  // UTF-8; empty: no journal
  int left = 200;           // away from (0, 0), so placing the window is a visible change
  int top = 120;
  bool help = false;
};

extern const char kUsage[];

// args excludes the program name. On failure, error says which argument is wrong.
bool ParseCommandLine(const std::vector<std::string>& args, LaunchOptions& out, std::string& error);

}  // namespace practice
