// The cancel token: a cancel from another thread wakes a sleeping wait at
// once, and a deadline counts down to zero and stays there.

#include "base/cancel_token.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace kova {
namespace {

using Clock = std::chrono::steady_clock;

TEST(CancelToken, CancelFromAnotherThreadWakesTheWaitAndResetRearms) {
  CancelToken token;
  EXPECT_FALSE(token.IsCancelled());
  EXPECT_FALSE(token.WaitFor(1));  // nothing cancelled: the wait runs out

  const auto start = Clock::now();
  std::thread canceller([&token] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    token.Cancel();
  });
  EXPECT_TRUE(token.WaitFor(20000));
  canceller.join();
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));  // woken, not timed out
  EXPECT_TRUE(token.IsCancelled());
  EXPECT_TRUE(token.WaitFor(20000));  // an already cancelled token does not sleep

  token.Reset();
  EXPECT_FALSE(token.IsCancelled());
}

TEST(Deadline, SlicesNeverPassTheEnd) {
  const Deadline none(0);
  EXPECT_TRUE(none.Expired());
  EXPECT_EQ(none.RemainingMs(), 0u);
  EXPECT_EQ(none.SliceMs(20), 0u);

  const Deadline later(60000);
  EXPECT_FALSE(later.Expired());
  EXPECT_GT(later.RemainingMs(), 50000u);
  EXPECT_EQ(later.SliceMs(20), 20u);

  const Deadline soon(5);
  EXPECT_LE(soon.SliceMs(1000), 5u);
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(soon.Expired());
  EXPECT_EQ(soon.SliceMs(20), 0u);
}

}  // namespace
}  // namespace kova
