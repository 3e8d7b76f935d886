// Runs beside a libcrypt.dll that lacks only CrypC_TestSignFunctions_: the
// library loads, but no binding is made (-30), on every attempt.
#include <gtest/gtest.h>

#include "cryptlib_test_util.h"
#include "export_loader.h"

namespace tzm {
namespace {

TEST(MissingEntry, AnswersMinus30ForALibraryWithoutEveryEntryPoint) {
  test::TMorkaExports exports;
  ASSERT_TRUE(exports.Ready());
  test::TScratchFolder folder;
  test::WriteAll(folder.Path("self.pub"), test::PublicImage("Owner", 1));
  TZMEngine engine = exports.NewEngine(folder.Root.string() + "/");
  std::string uid;
  EXPECT_EQ(exports.CurrentUID(engine, uid), -30);
  EXPECT_EQ(exports.CurrentUID(engine, uid), -30);
  exports.DoneEngine(engine);

  // The same holds for the binding itself: loaded, entries incomplete.
  TCryptoC_DLL binding;
  EXPECT_TRUE(binding.LibraryLoaded);
  EXPECT_FALSE(binding.EntriesResolved);
  EXPECT_NE(binding.Entries.CrypC_TestCryptoFunctions_, nullptr);
  EXPECT_EQ(binding.Entries.CrypC_TestSignFunctions_, nullptr);
  EXPECT_THROW((void)binding.CrypC_TestSignFunctions_(), ECryptLibError);
}

}  // namespace
}  // namespace tzm
