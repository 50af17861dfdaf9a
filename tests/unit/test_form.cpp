#include <gtest/gtest.h>

#include <map>

#include "app/form.h"
#include "workflows/job_points.h"

namespace pelloram {
namespace {

bool IsContainer(Control control) {
  const ControlKind kind = FormOf(control).kind;
  return kind == ControlKind::GroupBox || kind == ControlKind::TabControl;
}

// The window is built by walking each control's container chain: it must reach the main
// window through real containers only, and tab pages are named exactly for the tab's children.
TEST(Form, EveryControlHangsFromTheWindowThroughContainers) {
  for (const ControlForm& form : Form()) {
    SCOPED_TRACE(std::string(form.designerName));
    EXPECT_EQ(form.container == Control::JobPages, form.page == 0 || form.page == 1);
    if (form.container != Control::JobPages) {
      EXPECT_EQ(form.page, -1);
    }
    Control at = form.id;
    for (int depth = 0; at != Control::MainWindow; ++depth) {
      ASSERT_LT(depth, 5) << "container cycle";
      at = FormOf(at).container;
      if (at != Control::MainWindow) {
        EXPECT_TRUE(IsContainer(at));
      }
    }
  }
}

TEST(Form, RadiosPairUpByContainerWithOneChecked) {
  std::map<std::pair<Control, int>, std::pair<int, int>>
      groups;  // (container, page) -> count, checked
  for (const ControlForm& form : Form()) {
    if (form.kind != ControlKind::RadioButton) continue;
    auto& [count, checked] = groups[{form.container, form.page}];
    ++count;
    checked += form.checked ? 1 : 0;
  }
  ASSERT_EQ(groups.size(), 2u);
  for (const auto& [group, tally] : groups) {
    EXPECT_EQ(tally.first, 2);
    EXPECT_EQ(tally.second, 1);
  }
}

bool IsEditBox(const ControlForm& form) {
  return form.kind == ControlKind::EditBox || form.kind == ControlKind::IntegerEditBox;
}

// Every edit box is read as a number (the window folds full-width digits typed into any of
// them): each is a field of exactly one job point, a delay, or the count, and every point
// field of the jobs' table is an edit box the window builds.
TEST(Form, EditBoxesAreExactlyThePointFieldsTheDelaysAndTheCount) {
  std::map<Control, int> uses;
  for (const Job job : {Job::Delete, Job::Add}) {
    for (const JobPoint& point : PointsOf(job)) {
      ++uses[point.xField];
      ++uses[point.yField];
    }
  }
  for (const Control number : {Control::DeleteDelay, Control::AddDelay, Control::DeleteCount}) {
    ++uses[number];
  }
  for (const auto& [field, count] : uses) {
    EXPECT_EQ(count, 1) << FormOf(field).role;
    EXPECT_TRUE(IsEditBox(FormOf(field))) << FormOf(field).role;
  }
  for (const ControlForm& form : Form()) {
    if (IsEditBox(form)) {
      EXPECT_TRUE(uses.contains(form.id)) << form.role;
    }
    EXPECT_EQ(IsEditBox(form), form.designerName.starts_with("编辑框")) << form.designerName;
  }
}

TEST(Form, OnlyTheCountTakesIntegersAlone) {
  for (const ControlForm& form : Form()) {
    EXPECT_EQ(form.kind == ControlKind::IntegerEditBox, form.id == Control::DeleteCount)
        << form.role;
  }
}

TEST(Form, OnlyOnScreenControlsHaveASize) {
  for (const ControlForm& form : Form()) {
    const bool offScreen = form.kind == ControlKind::Timer || form.kind == ControlKind::BalloonTip;
    EXPECT_EQ(offScreen, form.width == 0 && form.height == 0) << form.designerName;
  }
}

TEST(Form, AskingForTheWindowItselfIsSafe) {
  const ControlForm& window = FormOf(Control::MainWindow);
  EXPECT_EQ(window.width, kMainWindowWidth);
  EXPECT_EQ(window.height, kMainWindowHeight);
  EXPECT_EQ(window.text, kMainWindowCaption);
}

}  // namespace
}  // namespace pelloram
