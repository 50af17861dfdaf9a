// What a run tells the user: the start/pause button, the progress in the window's caption,
// why a run had to end, and what an add run did with its files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "client/target_check.h"
#include "workflows/tool.h"

namespace pelloram {

inline constexpr std::string_view kStartCaption = "F11\r\n开  始";
inline constexpr std::string_view kPauseCaption = "F11\r\n暂  停";
inline constexpr std::string_view kFinishedCaption = "给我删";

// The delete page's button: its caption and what its next press does change together.
void ShowDeleteButton(Tool& tool, DeleteButton button);

// What to do about a control that cannot be found by the look F10 kept of it.
inline constexpr std::string_view kTeachAgain = "请让微信窗口完整露出来，或用 F10 重新取坐标。";
// "找不到“表情”按钮（和 F10 记下的样子不一样）"
std::string NotFoundReason(std::string_view controlName);

// What the user is told about a run that had to end.
std::string_view StopMessage(TargetFault fault);
// The same, with what only the run knows: the title of a window it did not expect, or the
// control it meant to click.
std::string StopText(TargetFault fault, std::string_view detail);

// Why a sticker of an add run was skipped, for the summary that groups its files by reason.
enum class SkipReason : int {
  NotAGif,        // empty, or not a GIF at all
  FileGone,       // removed since the folder was chosen
  ClipboardBusy,  // another program held or changed the clipboard before the dialog took the path
  NoDialog,       // the client's open dialog did not come up
  DialogRefused,  // the open dialog did not take the file
  NoMenu,         // no menu came up on the sent sticker
  NotFound,       // a control taught by its look is nowhere clearly (named in the text)
};
// Why stickers were skipped, as the summary heads their files.
std::string SkipReasonText(SkipReason reason, std::string_view detail);
// A start pressed while the paused run winds down is taken as soon as it has ended.
inline constexpr std::string_view kStartsWhenEnded = "正在停下刚才的任务，停下后马上开始。";
// A start while a run of the other page goes.
inline constexpr std::string_view kOtherRunGoing =
    "另一页的任务正在运行。请先按 F11 暂停它（或等它完成），再开始。";
// A run that ended because the user took the mouse says so in a tip on the window rather
// than in a box: the user is at the mouse, and F11 resumes.
void TipUserMoved(Tool& tool);

// Shows a run's progress after the window's caption ("… — 删除中 3 / 10") until End, or
// until it is destroyed.
class CaptionProgress {
 public:
  CaptionProgress(Ui& ui, std::string_view doing);
  ~CaptionProgress();
  CaptionProgress(const CaptionProgress&) = delete;
  CaptionProgress& operator=(const CaptionProgress&) = delete;
  void Show(std::int64_t current, std::int64_t total);
  // The caption as it was; a message that sums the run up comes after it.
  void End();

 private:
  Ui& ui_;
  std::string caption_;
  std::string doing_;
  bool shown_ = false;
};

// "添加完成：成功 12 个，已有 3 个，跳过 2 个（a.gif、b.gif）", or, for a run that had to
// end, why it ended and what it did until then.
std::string AddSummary(const AddTally& tally, std::string_view stopReason);
// A paused add pass: what it did so far and where F11 goes on ("按 F11 从第 5 个（e.gif）
// 继续添加。"); `byMouse` when the user's hand on the mouse paused it.
std::string AddPausedSummary(const AddTally& tally, bool byMouse, std::int64_t nextNumber,
                             std::string_view nextName);
std::string AddPausedTip(std::int64_t nextNumber, std::string_view nextName);

}  // namespace pelloram
