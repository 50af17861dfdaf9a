// Clicks, keys, pointer placement, waits and the clipboard retry, on the fake desktop.
#include <gtest/gtest.h>

#include "client/client_windows.h"
#include "client/clipboard.h"
#include "client/input.h"
#include "client/waits.h"
#include "tests/fakes/fake_desktop.h"

namespace pelloram::testing {
namespace {

using Kind = InputRecord::Kind;

TEST(ScreenPointOf, TakesScreenPointsForNoWindowAndForAVanishedOne) {
  FakeDesktop desktop;
  EXPECT_EQ(ScreenPointOf(desktop, 0, 100, 200), (Point{100, 200}));
  const WindowHandle window = desktop.AddWindow("c", "t", Rect{300, 150, 900, 700});
  desktop.WindowAt(window).exists = false;
  EXPECT_EQ(ScreenPointOf(desktop, window, 10, 20), (Point{10, 20}));
}

TEST(ScreenPointOf, AddsTheClientOriginNotTheFrameAndNeverWraps) {
  FakeDesktop desktop;
  const WindowHandle window = desktop.AddWindow("c", "t", Rect{292, 120, 900, 700}, Point{8, 30});
  EXPECT_EQ(ScreenPointOf(desktop, window, 10, 20), (Point{310, 170}));
  EXPECT_EQ(ScreenPointOf(desktop, window, INT32_MAX, INT32_MIN),
            (Point{INT32_MAX, INT32_MIN + 150}));
}

TEST(PressKeyChord, CtrlVIsCtrlDownVDownCtrlUpVUp) {
  FakeDesktop desktop;
  PressKeyChord(desktop, 0x56, 0x11);
  const std::vector<std::pair<Kind, int>> expected{
      {Kind::KeyDown, 0x11}, {Kind::KeyDown, 0x56}, {Kind::KeyUp, 0x11}, {Kind::KeyUp, 0x56}};
  std::vector<std::pair<Kind, int>> seen;
  for (const auto& key : desktop.Keys()) seen.emplace_back(key.kind, key.key);
  EXPECT_EQ(seen, expected);
}

TEST(PressKey, TapDispatchesPendingMessagesBetweenDownAndUp) {
  FakeDesktop desktop;
  std::vector<std::string> order;
  desktop.At(desktop.now, [&] { order.push_back("dispatched"); });
  desktop.onKey = [&](int, bool up) { order.push_back(up ? "up" : "down"); };
  PressKey(desktop, 0x0D);
  EXPECT_EQ(order, (std::vector<std::string>{"down", "dispatched", "up"}));
}

TEST(ResponsiveDelay, ZeroOrNegativeReturnsAtOnceWithoutDispatching) {
  FakeDesktop desktop;
  desktop.At(desktop.now, [] {});
  const auto start = desktop.now;
  ResponsiveDelay(desktop, 0);
  ResponsiveDelay(desktop, -5);
  EXPECT_EQ(desktop.now, start);
  EXPECT_EQ(desktop.dispatched, 0);
}

TEST(ResponsiveDelay, LastsPastTheDeadlineAndHandlesWhatArrivesOnTime) {
  FakeDesktop desktop;
  const auto start = desktop.now;
  std::uint32_t handledAt = 0;
  desktop.At(start + 200, [&] { handledAt = desktop.now; });
  ResponsiveDelay(desktop, 500);
  EXPECT_EQ(handledAt, start + 200);
  EXPECT_GT(desktop.now, start + 500);
  EXPECT_LE(desktop.now, start + 502);
}

TEST(ResponsiveDelay, EndsEarlyWhenTheToolIsClosing) {
  FakeDesktop desktop;
  const auto start = desktop.now;
  desktop.At(start + 100, [&] { desktop.PostQuit(0); });
  ResponsiveDelay(desktop, 60000);
  EXPECT_EQ(desktop.now, start + 100);
  EXPECT_TRUE(desktop.quitPosted);
}

TEST(ProcessPendingEvents, LeavesAQuitRequestQueued) {
  FakeDesktop desktop;
  desktop.At(desktop.now, [] {});
  desktop.PostQuit(0);
  ProcessPendingEvents(desktop);
  EXPECT_EQ(desktop.dispatched, 1);
  EXPECT_EQ(desktop.PeekPending(), PendingMessage::Quit);
}

TEST(PumpMessages, PostsARemovedQuitRequestAgainAndStops) {
  FakeDesktop desktop;
  desktop.PostQuit(3);
  PumpMessages(desktop);
  EXPECT_TRUE(desktop.quitPosted);
  int code = 0;
  EXPECT_EQ(desktop.RemoveAndDispatch(code), PendingMessage::Quit);
  EXPECT_EQ(code, 3);
}

TEST(PutTextOnClipboard, RetriesWhileAnotherProgramHoldsIt) {
  FakeDesktop desktop;
  desktop.clipboardRefusals = 3;
  EXPECT_TRUE(PutTextOnClipboard(desktop, "C:\\表情\\😀 a.gif"));
  EXPECT_EQ(desktop.clipboard, "C:\\表情\\😀 a.gif");
  EXPECT_EQ(desktop.clipboardAttempts, 4);
}

TEST(PutTextOnClipboard, GivesUpAfterAboutTwoSecondsOfHandlingMessages) {
  FakeDesktop desktop;
  desktop.clipboard = "old";
  desktop.clipboardRefusals = 1 << 30;
  int handled = 0;
  desktop.At(desktop.now + 1000, [&] { ++handled; });
  const auto start = desktop.now;
  EXPECT_FALSE(PutTextOnClipboard(desktop, "new"));
  EXPECT_EQ(desktop.clipboard, "old");
  EXPECT_EQ(handled, 1);
  EXPECT_GE(desktop.now - start, 1800u);
  EXPECT_LE(desktop.now - start, 2600u);
}

}  // namespace
}  // namespace pelloram::testing

namespace pelloram::testing {
namespace {

TEST(FindOpenDialog, AHiddenLeftoverDoesNotCountAsShowing) {
  FakeDesktop desktop;
  const WindowHandle dialog = desktop.AddWindow("#32770", "打开", Rect{0, 0, 500, 400});
  EXPECT_EQ(FindOpenDialog(desktop), dialog);
  desktop.WindowAt(dialog).shown = false;
  EXPECT_EQ(FindOpenDialog(desktop), 0u);
}

// The forward window is the client's own window titled "转发给", whatever its class.
TEST(FindForwardWindow, TakesOnlyTheClientsOwnWindowOfThatTitle) {
  FakeDesktop desktop;
  const WindowHandle client = desktop.AddWindow("Qt51514QWindowIcon", "微信", Rect{0, 0, 9, 9});
  desktop.AddWindow("Other", "转发给", Rect{}, {}, 7);
  EXPECT_EQ(FindForwardWindow(desktop, client), 0u);
  const WindowHandle forward = desktop.AddWindow("Qt51514QWindowIcon", "转发给", Rect{});
  EXPECT_EQ(FindForwardWindow(desktop, client), forward);
  EXPECT_EQ(FindForwardWindow(desktop, 0), 0u);
}

struct ClientCase {
  const char* name;
  std::vector<std::pair<const char*, bool>> windows;  // Qt or classic title, shown
  int expected;                                       // index into windows, -1: none
  chat::Generation generation;
};

class FindChatClientTest : public ::testing::TestWithParam<ClientCase> {};

// Each entry of `windows` is (title, shown); "classic" adds the classic main window.
TEST_P(FindChatClientTest, TakesTheFirstShownKnownMainWindow) {
  const ClientCase& c = GetParam();
  FakeDesktop desktop;
  std::vector<WindowHandle> handles;
  for (const auto& [title, shown] : c.windows) {
    const bool classic = std::string_view(title) == "classic";
    handles.push_back(desktop.AddWindow(classic ? "WeChatMainWndForPC" : "Qt51514QWindowIcon",
                                        classic ? "微信" : title, Rect{0, 0, 9, 9}));
    desktop.WindowAt(handles.back()).shown = shown;
  }
  const ChatClient found = FindChatClient(desktop);
  EXPECT_EQ(found.window, c.expected < 0 ? 0 : handles[static_cast<std::size_t>(c.expected)]);
  if (c.expected >= 0) {
    EXPECT_EQ(found.generation, c.generation);
  }
}

using chat::Generation;
INSTANTIATE_TEST_SUITE_P(
    Layouts, FindChatClientTest,
    ::testing::Values(
        ClientCase{"Classic", {{"classic", true}}, 0, Generation::Classic},
        ClientCase{"NewerChinese", {{"微信", true}}, 0, Generation::Qt},
        ClientCase{"NewerEnglish", {{"Weixin", true}}, 0, Generation::Qt},
        ClientCase{"HiddenDecoyOnly", {{"微信", false}}, -1, Generation::Qt},
        ClientCase{"ShownBehindADecoy", {{"微信", true}, {"微信", false}}, 0, Generation::Qt},
        ClientCase{"BothGenerationsTakeTheClassic",
                   {{"微信", true}, {"classic", true}},
                   1,
                   Generation::Classic},
        ClientCase{"OtherTitle", {{"QQ", true}}, -1, Generation::Qt}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace pelloram::testing
