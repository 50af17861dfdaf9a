#include "workflows/run_report.h"

#include "services/convert.h"

namespace pelloram {
namespace {

constexpr std::size_t kSkippedNamesShown = 3;

std::string_view CaptionOf(DeleteButton button) {
  switch (button) {
    case DeleteButton::Start:
      return kStartCaption;
    case DeleteButton::Pause:
      return kPauseCaption;
    case DeleteButton::Finished:
    case DeleteButton::FinishedAfterPause:
      return kFinishedCaption;
  }
  return kStartCaption;
}

std::string SkippedNames(const std::vector<std::string>& names) {
  if (names.empty()) return {};
  std::string text = "（";
  for (std::size_t i = 0; i < names.size() && i < kSkippedNamesShown; ++i) {
    text += (i > 0 ? "、" : "") + names[i];
  }
  return text + (names.size() > kSkippedNamesShown ? " 等）" : "）");
}

}  // namespace

void ShowDeleteButton(Tool& tool, DeleteButton button) {
  tool.state.deleteButton = button;
  tool.ui.WriteControlText(Control::DeleteStartButton, CaptionOf(button));
}

std::string_view StopMessage(TargetFault fault) {
  switch (fault) {
    case TargetFault::None:
      return {};
    case TargetFault::ClientGone:
      return "微信窗口不见了，已停止。请打开微信后重新开始。";
    case TargetFault::PointOffClient:
      return "要点击的位置不在微信窗口上，已停止。请确认微信在前台且没有被遮挡。";
    case TargetFault::ClientNotInFront:
      return "微信不在前台，按键会落到别的程序里，已停止。请确认微信在前台且没有被遮挡。";
    case TargetFault::InputRefused:
      return "微信以管理员身份运行，本工具无法操作它。请以相同身份运行本工具。";
    case TargetFault::NoReaction:
      return "微信没有按预期反应，已停止。请确认微信正常、没有弹出别的窗口，再重新开始。";
    case TargetFault::OffMenu:
      return "菜单项的位置不在弹出的菜单上，已停止。请检查坐标（模式二可手动修改）后重新开始。";
    case TargetFault::ClientMoved:
      return "微信窗口在运行中被移动了，已停止。请不要移动微信窗口，然后重新开始。";
    case TargetFault::UserMoved:
      return "检测到鼠标移动，已暂停。按 F11 继续。";
    case TargetFault::NoMenu:
      return "右键点击后没有出现菜单，已停止。请确认微信的表情面板开着、收藏里还有表情，"
             "再重新开始。";
    case TargetFault::ClickMissed:
      return "鼠标没法移到要点击的位置，什么也没点，已停止。请确认坐标在屏幕上，"
             "并且没有别的程序把鼠标限制在某个区域里。";
    case TargetFault::ClientHidden:
      return "微信窗口被隐藏了（可能关到了托盘），已停止。请把微信窗口打开后重新开始。";
    case TargetFault::ClientMinimised:
      return "微信窗口被最小化了，已停止。请把微信窗口还原后重新开始。";
    case TargetFault::StrangeWindow:
      return "微信弹出了一个本工具不认识的窗口，已停止。请看一下这个窗口并关掉它，再重新开始。";
    case TargetFault::LookNotFound:
      return "找不到要点的控件（和 F10 记下的样子不一样），已停止。请让微信窗口完整露出来，"
             "或用 F10 重新取坐标。";
    case TargetFault::ScreenUnreadable:
      return "读不到屏幕上的画面（屏幕可能锁定了），什么也没点，已停止。请解锁屏幕后重新开始。";
    case TargetFault::PointCleared:
      return "要点的坐标框是空的（可能在运行中切换了页面或模式），什么也没点，已停止。"
             "请填好坐标（或用 F10 重新取）后再开始。";
    case TargetFault::FolderGone:
      return "表情文件夹不见了，已停止。请重新选择文件夹。";
    case TargetFault::OffScreen:
      return "要点的位置在屏幕外面，什么也没点，已停止。请把微信窗口整个拖回屏幕上，再重新开始。";
    case TargetFault::ToolInTheWay:
      return "Pelloram 的窗口挡住了要点的位置，什么也没点，已停止。请把 Pelloram 的窗口移到一边"
             "（不要盖住微信），再重新开始。";
    case TargetFault::PlacementFailed:
      return "没能把微信窗口移到左上角并调整大小，已停止。请把微信窗口还原（不要最大化或最小化）"
             "后重新开始。";
  }
  return {};
}

std::string SkipReasonText(SkipReason reason, std::string_view detail) {
  switch (reason) {
    case SkipReason::NotAGif:
      return "不是 GIF 或是空文件";
    case SkipReason::FileGone:
      return "文件不见了（选好文件夹后被删除或移走）";
    case SkipReason::ClipboardBusy:
      return "剪贴板被别的程序占用或改动了，路径没能交给打开对话框";
    case SkipReason::NoDialog:
      return "微信的打开对话框没有出现";
    case SkipReason::DialogRefused:
      return "打开对话框没有接受这个文件";
    case SkipReason::NoMenu:
      return "发出的表情上没有弹出菜单";
    case SkipReason::NotFound:
      return NotFoundReason(detail) + "，" + std::string(kTeachAgain);
  }
  return {};
}

std::string NotFoundReason(std::string_view controlName) {
  return "找不到" + std::string(controlName) + "（和 F10 记下的样子不一样）";
}

std::string StopText(TargetFault fault, std::string_view detail) {
  const std::string control(detail);
  if (fault == TargetFault::LookNotFound && !detail.empty()) {
    return NotFoundReason(detail) + "，已停止。" + std::string(kTeachAgain);
  }
  if (fault == TargetFault::OffScreen && !detail.empty()) {
    return control + "在屏幕外面，什么也没点，已停止。请把微信窗口整个拖回屏幕上，再重新开始。";
  }
  if (fault == TargetFault::ToolInTheWay && !detail.empty()) {
    return "Pelloram 的窗口挡住了" + control +
           "，什么也没点，已停止。请把 Pelloram 的窗口移到一边（不要盖住微信），再重新开始。";
  }
  if (fault != TargetFault::StrangeWindow || detail.empty()) return std::string(StopMessage(fault));
  return "微信弹出了“" + std::string(detail) +
         "”窗口，已停止。请看一下这个窗口并关掉它，再重新开始。";
}

void TipUserMoved(Tool& tool) {
  tool.ui.ShowBalloonTip(Control::WarningTip, tool.ui.ControlCentre(Control::MainWindow),
                         StopMessage(TargetFault::UserMoved), false);
}

CaptionProgress::CaptionProgress(Ui& ui, std::string_view doing)
    : ui_(ui), caption_(ui.ReadControlText(Control::MainWindow)), doing_(doing) {}

CaptionProgress::~CaptionProgress() { End(); }

void CaptionProgress::Show(std::int64_t current, std::int64_t total) {
  shown_ = true;
  ui_.WriteControlText(Control::MainWindow,
                       caption_ + " — " + doing_ + " " + ToText(current) + " / " + ToText(total));
}

void CaptionProgress::End() {
  if (!shown_) return;
  shown_ = false;
  ui_.WriteControlText(Control::MainWindow, caption_);
}

namespace {

std::string Counts(const AddTally& tally) {
  return "成功 " + ToText(tally.added) + " 个，已有 " + ToText(tally.alreadyCollected) +
         " 个，跳过 " + ToText(static_cast<std::int64_t>(tally.skipped.size())) + " 个" +
         SkippedNames(tally.skipped);
}

// Why stickers were skipped, a line for each reason with its files.
std::string SkipNotes(const AddTally& tally) {
  std::string text;
  for (const SkipGroup& group : tally.skips) {
    text += "\r\n跳过 ";
    for (std::size_t i = 0; i < group.files.size(); ++i) {
      text += (i > 0 ? "、" : "") + group.files[i];
    }
    text += "：" + group.reason;
  }
  return text;
}

std::string ResumeWord(std::int64_t nextNumber, std::string_view nextName) {
  return "按 F11 从第 " + ToText(nextNumber) + " 个（" + std::string(nextName) + "）继续添加。";
}

}  // namespace

std::string AddSummary(const AddTally& tally, std::string_view stopReason) {
  const std::string counts = Counts(tally);
  if (stopReason.empty() && tally.notReached == 0) return "添加完成：" + counts + SkipNotes(tally);
  return std::string(stopReason) + "\r\n添加未完成：" + counts + "，还有 " +
         ToText(tally.notReached) + " 个没有添加。" + SkipNotes(tally);
}

std::string AddPausedSummary(const AddTally& tally, bool byMouse, std::int64_t nextNumber,
                             std::string_view nextName) {
  return std::string(byMouse ? "检测到鼠标移动，已暂停。" : "已暂停。") + "\r\n添加暂停：" +
         Counts(tally) + "，还有 " + ToText(tally.notReached) + " 个。\r\n" +
         ResumeWord(nextNumber, nextName) + SkipNotes(tally);
}

std::string AddPausedTip(std::int64_t nextNumber, std::string_view nextName) {
  return "检测到鼠标移动，已暂停。" + ResumeWord(nextNumber, nextName);
}

}  // namespace pelloram
