#include "workflows/job_points.h"

#include <array>

#include "client/chat_client.h"

namespace pelloram {
namespace {

using enum Control;
using enum JobPointId;

constexpr MouseButton kLeft = MouseButton::Left;
constexpr MouseButton kRight = MouseButton::Right;

// Indexed by JobPointId; each job's points are contiguous, in run order.
constexpr std::array kPoints{std::to_array<JobPoint>({
    {StickerPanel, Job::Delete, StickerPanelX, StickerPanelY, chat::kStickerPanelButton, kLeft,
     "表情坐标", "表情坐标获取成功！！继续F10将获取已收藏位置", "“表情”按钮", FoundBy::OwnPicture, StickerPanel},
    {CollectedTab, Job::Delete, CollectedTabX, CollectedTabY, chat::kCollectedTab, kLeft,
     "收藏坐标", "收藏坐标获取成功！继续F10将获取首个表情位置", "“收藏”标签", FoundBy::OwnPicture, CollectedTab},
    {FirstSticker, Job::Delete, FirstStickerX, FirstStickerY, chat::kFirstSticker, kRight,
     "首个表情坐标", "首个表情坐标获取成功！继续F10将获取表情位置", "第一个收藏的表情", FoundBy::FromPoint, CollectedTab},
    {DeleteItem, Job::Delete, DeleteItemX, DeleteItemY, chat::kDeleteItem, kLeft, "", "",
     "“删除”菜单项", FoundBy::MenuItem, FirstSticker},
    {FileButton, Job::Add, FileButtonX, FileButtonY, chat::kFileButton, kLeft, "文件坐标",
     "文件位置获取成功！继续F10将获取已发送表情位置", "“文件”按钮", FoundBy::OwnPicture, FileButton},
    {SentSticker, Job::Add, SentStickerX, SentStickerY, chat::kSentSticker, kRight,
     "已发送表情坐标", "表情位置获取成功！继续F10将获取文件位置", "刚发送的表情", FoundBy::FromCorner, SentSticker},
    {AddItem, Job::Add, AddItemX, AddItemY, chat::kAddItem, kLeft, "添加表情坐标", "",
     "“添加到表情”菜单项", FoundBy::MenuItem, SentSticker},
})};

constexpr std::array<DerivedPoint, 2> kDerived{{
    {FirstSticker, DeleteItem, chat::kDeleteItemOffset, Derivation::OnCapture},
    {SentSticker, AddItem, chat::kAddItemOffset, Derivation::OnEdit},
}};

// The delete job's points come first; the add job's follow them.
constexpr std::size_t CountDeletePoints() {
  std::size_t count = 0;
  while (count < kPoints.size() && kPoints[count].job == Job::Delete) ++count;
  return count;
}
constexpr std::size_t kDeletePoints = CountDeletePoints();

constexpr bool GroupedByJob() {
  for (std::size_t i = kDeletePoints; i < kPoints.size(); ++i) {
    if (kPoints[i].job != Job::Add) return false;
  }
  return true;
}
static_assert(GroupedByJob(), "each job's points must be listed together, delete first");

constexpr bool IndexedById() {
  for (std::size_t i = 0; i < kPoints.size(); ++i) {
    if (static_cast<std::size_t>(kPoints[i].id) != i) return false;
  }
  return true;
}
static_assert(IndexedById(), "the points must be listed in JobPointId order");

// A point found from another hangs on one of its own job's that is found otherwise.
constexpr bool HangsOnItsJob() {
  for (const JobPoint& point : kPoints) {
    const JobPoint& on = kPoints[static_cast<std::size_t>(point.hangsOn)];
    const bool found = point.foundBy == FoundBy::FromPoint || point.foundBy == FoundBy::MenuItem;
    if (found && (on.job != point.job || on.foundBy == point.foundBy)) return false;
  }
  return true;
}
static_assert(HangsOnItsJob(), "a point is found from another point of its job");
static_assert(kPoints.size() == kJobPointCount);

constexpr std::string_view kEmptyFieldTail =
    "都不填！我可乱点了啊...\r\n算了吧，给你个机会，重新填上！";

}  // namespace

const JobPoint& PointOf(JobPointId id) { return kPoints[static_cast<std::size_t>(id)]; }

std::span<const JobPoint> PointsOf(Job job) {
  const std::span<const JobPoint> all(kPoints);
  return job == Job::Delete ? all.first(kDeletePoints) : all.subspan(kDeletePoints);
}

std::span<const DerivedPoint> DerivedPoints() { return kDerived; }

const JobPoint& MenuItemOf(Job job) {
  for (const JobPoint& point : PointsOf(job)) {
    if (point.foundBy == FoundBy::MenuItem) return point;
  }
  return PointsOf(job).back();
}

std::string EmptyFieldWarning(const JobPoint& point, bool isX) {
  return std::string(point.warningName) + (isX ? "X" : "Y") + std::string(kEmptyFieldTail);
}

}  // namespace pelloram
