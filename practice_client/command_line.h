// The practice client's command line, parsed without Win32 so that it can be tested.
#pragma once

#include <string>
#include <vector>

#include "practice_client/model.h"

namespace practice {

struct LaunchOptions {
  Options model;
  std::string journalPath;  // UTF-8; empty: no journal
  int left = 200;           // away from (0, 0), so placing the window is a visible change
  int top = 120;
  bool help = false;
};

extern const char kUsage[];

// args excludes the program name. On failure, error says which argument is wrong.
bool ParseCommandLine(const std::vector<std::string>& args, LaunchOptions& out, std::string& error);

}  // namespace practice
