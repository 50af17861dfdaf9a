// The add run: every chosen sticker file sent into the chat and added to the collection.
#pragma once

#include <string>
#include <vector>

#include "workflows/job_points.h"
#include "workflows/tool.h"

namespace pelloram {

void StartAddRun(Tool& tool);
void StartAddModeOne(Tool& tool);
void StartAddModeTwo(Tool& tool);
// Reports and closes the forward window that a sticker already collected brings up; true
// when it was there.
bool HandleAlreadyCollected(Tool& tool, Mode mode);

// What an add run did with its files, for the message that ends it.
struct AddTally {
  int added = 0;
  int alreadyCollected = 0;
  std::vector<std::string> skipped;  // file names, in order
  int notReached = 0;                // files the run did not get to
};
// "添加完成：成功 12 个，已有 3 个，跳过 2 个（a.gif、b.gif）", or, for a run that had to
// end, why it ended and what it did until then.
std::string AddSummary(const AddTally& tally, std::string_view stopReason);

}  // namespace pelloram
