#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "services/unique_handle.h"

namespace pelloram {
namespace {

std::vector<int> closed;

struct Close {
  void operator()(int handle) const { closed.push_back(handle); }
};
// Like INVALID_HANDLE_VALUE: -1 is the failure value, and 0 is a handle like any other.
struct MinusOne {
  static int Value() { return -1; }
};
using NullEmpty = UniqueHandle<int, Close>;
using MinusOneEmpty = UniqueHandle<int, Close, MinusOne>;

class UniqueHandleTest : public ::testing::Test {
 protected:
  void SetUp() override { closed.clear(); }
};

TEST_F(UniqueHandleTest, TheInvalidValueIsEmptyAndNeverClosed) {
  {
    const NullEmpty none(0);
    const MinusOneEmpty failed(-1);
    const MinusOneEmpty unset;
    EXPECT_FALSE(none);
    EXPECT_FALSE(failed);
    EXPECT_FALSE(unset);
    EXPECT_EQ(unset.get(), -1);
  }
  EXPECT_TRUE(closed.empty());
}

TEST_F(UniqueHandleTest, EveryOtherValueIsOwnedAndClosedOnce) {
  {
    const MinusOneEmpty zero(0);
    const NullEmpty seven(7);
    EXPECT_TRUE(zero);
    EXPECT_TRUE(seven);
  }
  EXPECT_EQ(closed, (std::vector<int>{7, 0}));
}

TEST_F(UniqueHandleTest, MoveResetAndReleaseLeaveTheInvalidValueBehind) {
  MinusOneEmpty first(0);
  MinusOneEmpty second(std::move(first));
  EXPECT_EQ(first.get(), -1);
  second.reset(5);
  EXPECT_EQ(closed, std::vector<int>{0});
  first = std::move(second);
  EXPECT_EQ(second.get(), -1);
  EXPECT_EQ(first.release(), 5);
  EXPECT_EQ(first.get(), -1);
  EXPECT_EQ(closed, std::vector<int>{0});
}

}  // namespace
}  // namespace pelloram
