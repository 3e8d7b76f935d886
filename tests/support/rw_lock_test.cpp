// TRWCriticalSection with real threads. Waits are on conditions the lock
// reports, never on time.
#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "support.h"

namespace tzm {
namespace {

template <typename Predicate>
void SpinUntil(Predicate done) {
  while (!done()) platform::YieldThread();
}

TEST(RWLockTest, RecursiveReadsAndTableGrowth) {
  TRWCriticalSection lock;
  lock.BeginRead();
  lock.BeginRead();
  lock.BeginRead();
  EXPECT_EQ(lock.ReadCount(), 3);
  EXPECT_EQ(lock.ReaderRecords(), 1u);
  for (int i = 0; i < 3; ++i) lock.EndRead();
  EXPECT_EQ(lock.ReadCount(), 0);
  EXPECT_EQ(lock.ReaderRecords(), 0u);
  EXPECT_THROW(lock.EndRead(), EAssertionFailed);

  // Four readers at once: room for three grows to five.
  EXPECT_EQ(lock.ReaderSlots(), 3u);
  std::latch allIn(4), release(1);
  std::vector<std::thread> readers;
  for (int i = 0; i < 4; ++i) {
    readers.emplace_back([&] {
      TReadGuard hold(lock);
      allIn.count_down();
      release.wait();
    });
  }
  allIn.wait();
  EXPECT_EQ(lock.ReadCount(), 4);
  EXPECT_EQ(lock.ReaderSlots(), 5u);
  release.count_down();
  for (auto& t : readers) t.join();
  EXPECT_EQ(lock.ReadCount(), 0);
  EXPECT_EQ(lock.ReaderRecords(), 0u);
  EXPECT_EQ(lock.ReaderSlots(), 5u);  // never shrinks
}

TEST(RWLockTest, ReaderBecomesWriterAndKeepsItsReads) {
  TRWCriticalSection lock;
  lock.BeginRead();
  lock.BeginWrite();  // the only reader: no wait
  EXPECT_TRUE(lock.IsWriting());
  EXPECT_EQ(lock.ReadCount(), 1);  // the write depth
  lock.BeginRead();                // reads during the own write are not counted
  lock.EndRead();
  lock.BeginWrite();
  EXPECT_EQ(lock.ReadCount(), 2);
  lock.EndWrite();
  lock.EndWrite();
  EXPECT_FALSE(lock.IsWriting());
  EXPECT_EQ(lock.ReadCount(), 1);  // the earlier read is back
  EXPECT_EQ(lock.ReaderRecords(), 1u);
  lock.EndRead();
  EXPECT_EQ(lock.ReadCount(), 0);
}

TEST(RWLockTest, WriterWaitsForTheLastReader) {
  TRWCriticalSection lock;
  std::latch reading(2), leave(1);
  std::vector<std::thread> readers;
  for (int i = 0; i < 2; ++i) {
    readers.emplace_back([&, i] {
      lock.BeginRead();
      reading.count_down();
      leave.wait();
      if (i == 1) lock.BeginRead(), lock.EndRead();  // a reader may re-enter while the writer waits
      lock.EndRead();
    });
  }
  reading.wait();
  std::atomic<bool> wrote{false};
  std::thread writer([&] {
    TWriteGuard hold(lock);
    wrote = true;
  });
  SpinUntil([&] { return lock.HasWaitingWriter(); });
  EXPECT_FALSE(wrote.load());
  // New readers queue behind the waiting writer.
  std::atomic<bool> lateReader{false};
  std::thread late([&] {
    TReadGuard hold(lock);
    lateReader = true;
  });
  EXPECT_FALSE(wrote.load());
  leave.count_down();
  for (auto& t : readers) t.join();
  writer.join();
  late.join();
  EXPECT_TRUE(wrote.load());
  EXPECT_TRUE(lateReader.load());
  EXPECT_EQ(lock.ReadCount(), 0);
  EXPECT_FALSE(lock.IsWriting());
}

TEST(RWLockTest, ReadersNeverSeeAHalfWrittenText) {
  TRWCriticalSection lock;
  std::string text(64, 'a');
  std::atomic<int> torn{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 3000; ++i) {
        if (t == 0 && i % 4 == 0) {
          TWriteGuard hold(lock);
          const char c = static_cast<char>('a' + i % 26);
          for (char& ch : text) ch = c;  // char by char: a reader inside would see a mix
        } else {
          TReadGuard hold(lock);
          const std::string copy = text;
          if (copy.find_first_not_of(copy[0]) != std::string::npos) ++torn;
        }
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(torn.load(), 0);
  EXPECT_EQ(lock.ReadCount(), 0);
  EXPECT_EQ(lock.ReaderRecords(), 0u);
}

}  // namespace
}  // namespace tzm
