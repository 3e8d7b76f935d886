// The last-error holder: whole replacements, and readers never see a text
// that is half old and half new.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "engine.h"

namespace tzm {
namespace {

TEST(SyncExceptStr, KeepsOnlyTheLatestText) {
  TSyncExceptStr holder;
  EXPECT_EQ(holder.ReadText(), "");
  holder.WriteText("first");
  holder.WriteText("second");
  EXPECT_EQ(holder.ReadText(), "second");
}

TEST(SyncExceptStr, ConcurrentReadersSeeWholeTexts) {
  TSyncExceptStr holder;
  const std::string a(4000, 'a');
  const std::string b(3000, 'b');
  holder.WriteText(a);
  std::atomic<bool> torn{false};
  std::vector<std::thread> threads;
  threads.emplace_back([&] {
    for (int i = 0; i < 2000; ++i) holder.WriteText(i % 2 ? a : b);
  });
  for (int r = 0; r < 3; ++r) {
    threads.emplace_back([&] {
      for (int i = 0; i < 2000; ++i) {
        const std::string text = holder.ReadText();
        if (text != a && text != b) torn = true;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_FALSE(torn);
}

}  // namespace
}  // namespace tzm
