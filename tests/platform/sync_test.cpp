// Critical section, event, atomics and the day-fraction clock.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform.h"

namespace tzm::platform {
namespace {

// Re-entry is the point of these helpers; the static lock analysis does not
// model re-entrant locks, so it is switched off for them.
void CountTwiceNested(TCriticalSection& section, int& counter) TZM_NO_THREAD_SAFETY_ANALYSIS {
  for (int i = 0; i < 2000; ++i) {
    TCriticalSectionGuard outer(section);
    TCriticalSectionGuard inner(section);
    ++counter;
  }
}

bool OtherThreadGetsIn(TCriticalSection& section) TZM_NO_THREAD_SAFETY_ANALYSIS {
  bool entered = false;
  std::thread([&]() TZM_NO_THREAD_SAFETY_ANALYSIS {
    entered = section.TryEnter();
    if (entered) section.Leave();
  }).join();
  return entered;
}

TEST(SyncTest, CriticalSectionIsReentrantAndExcludes) TZM_NO_THREAD_SAFETY_ANALYSIS {
  TCriticalSection section;
  int counter = 0;
  std::vector<std::thread> threads;
  for (int i = 0; i < 4; ++i) threads.emplace_back([&] { CountTwiceNested(section, counter); });
  for (auto& t : threads) t.join();
  EXPECT_EQ(counter, 8000);
  section.Enter();
  section.Enter();
  section.Leave();
  EXPECT_FALSE(OtherThreadGetsIn(section));  // still held once
  section.Leave();
  EXPECT_TRUE(OtherThreadGetsIn(section));
}

TEST(SyncTest, ManualResetEventReleasesAllWaiters) {
  TEvent event(false);
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i) waiters.emplace_back([&] {
      event.Wait();
      ++released;
    });
  EXPECT_FALSE(event.IsSet());
  event.Set();
  for (auto& t : waiters) t.join();
  EXPECT_EQ(released.load(), 3);
  EXPECT_TRUE(event.IsSet());  // stays set
  event.Wait();
  event.Reset();
  EXPECT_FALSE(event.IsSet());
  TEvent initiallySet(true);
  initiallySet.Wait();
}

TEST(SyncTest, AtomicsAndThreadIds) {
  std::atomic<int32_t> count{0};
  EXPECT_EQ(AtomicIncrement(count), 1);
  EXPECT_EQ(AtomicDecrement(count), 0);
  std::atomic<uint32_t> guard{0};
  EXPECT_EQ(AtomicExchange(guard, 7), 0u);
  EXPECT_EQ(AtomicExchange(guard, 0), 7u);
  const uint32_t mine = CurrentThreadId();
  EXPECT_NE(mine, 0u);
  EXPECT_EQ(mine, CurrentThreadId());
  uint32_t other = 0;
  std::thread([&] { other = CurrentThreadId(); }).join();
  EXPECT_NE(other, 0u);
  EXPECT_NE(other, mine);
  YieldThread();
}

TEST(ClockTest, DayFractions) {
  EXPECT_DOUBLE_EQ(ToDayFraction({1899, 12, 30, 0, 0, 0, 0}), 0.0);
  EXPECT_DOUBLE_EQ(ToDayFraction({1900, 1, 1, 0, 0, 0, 0}), 2.0);
  EXPECT_DOUBLE_EQ(ToDayFraction({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
  EXPECT_DOUBLE_EQ(ToDayFraction({2024, 3, 1, 6, 0, 0, 0}), 45352.25);  // after a leap day
  EXPECT_NEAR(ToDayFraction({2026, 12, 6, 22, 21, 54, 500}) - ToDayFraction({2026, 12, 6, 0, 0, 0, 0}),
              (22 * 3600 + 21 * 60 + 54.5) / 86400.0, 1e-9);
  const TLocalDateTime now = LocalDateTime();
  EXPECT_GE(now.Year, 2020);
  EXPECT_TRUE(now.Month >= 1 && now.Month <= 12 && now.Day >= 1 && now.Day <= 31);
  EXPECT_TRUE(now.Hour >= 0 && now.Hour <= 23 && now.Second <= 59 && now.Millisecond <= 999);
  EXPECT_GT(NowDayFraction(), 43831.0);  // after 2020-01-01
}

}  // namespace
}  // namespace tzm::platform
