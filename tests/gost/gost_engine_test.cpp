// Construction of the GOST engine: its thirteen parameters, type and fixed
// sizes; the operation guard and the critical-failure message it feeds.
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

#include "gost.h"
#include "gost/cp1251_iconv.h"

namespace tzm::test {
namespace {

// Exposes the guard so tests can run failing operation bodies through it.
class TGuardedEngine : public TCryptoCEngine {
 public:
  using TCryptoCEngine::Guard;
};

std::string CriticalPrefix() { return IconvUtf8ToCp1251("Критический сбой при выполнении функции библиотеки! "); }

std::string ErrorString(TCryptoCEngine& e, int32_t code) {
  char buffer[255];
  e.GetCryptoErrorString(code, buffer);
  return std::string(buffer, strnlen(buffer, sizeof buffer));
}

TEST(GostEngine, ThirteenParametersWithTheirDefaults) {
  TCryptoCEngine e;
  const char* expected[13][2] = {
      {"User PKey/Certificate", "A:\\self.pub"},
      {"User Secret key", "A:\\self.sec"},
      {"Abonents dir", "A:\\ABONENTS"},
      {"CA dir", "A:\\CA"},
      {"Encrypt Method", "1"},
      {"Encrypt for UID", "User1"},
      {"Key request time out", "60"},
      {"Last operation key time out", "5"},
      {"Key gen - GOST", "2001"},
      {"Key gen - UID", "User2"},
      {"Key gen - PKey filename", "A:\\new.pub"},
      {"Key gen - SKey filename", "A:\\new.sec"},
      {"Hash method", ""},
  };
  ASSERT_EQ(e.GetCryptoParamNumber(), 13);
  char buffer[1024];
  for (int32_t i = 1; i <= 13; ++i) {
    e.GetCryptoParamName(i, buffer);
    EXPECT_STREQ(buffer, expected[i - 1][0]) << i;
    e.GetCryptoParamValue(i, buffer);
    EXPECT_STREQ(buffer, expected[i - 1][1]) << i;
    EXPECT_EQ(e.ParamValue(i), expected[i - 1][1]);
  }
  EXPECT_EQ(e.ParamValue(0), "");
  EXPECT_EQ(e.ParamValue(14), "");
  EXPECT_EQ(e.SetCryptoParamValue(14, "x"), -1);
  EXPECT_EQ(e.SetCryptoParamValue(kParamHashMethod, "GOST"), 0);
  EXPECT_EQ(e.ParamValue(kParamHashMethod), "GOST");

  // Every engine starts from the defaults.
  TCryptoCEngine fresh;
  EXPECT_EQ(fresh.ParamValue(kParamHashMethod), "");
}

TEST(GostEngine, TypeAndFixedSizes) {
  TCryptoCEngine e;
  char buffer[16];
  std::memset(buffer, 'x', sizeof buffer);
  e.GetCryptoEngineType(buffer);
  EXPECT_EQ(std::string(buffer, 11), std::string("Crypto-C\0\0\0", 11));
  for (size_t i = 11; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 'x') << i;
  e.GetCryptoEngineType(nullptr);  // guarded: no crash

  EXPECT_EQ(e.GetMaxUIDLength(), 254);
  EXPECT_EQ(e.GetMaxSignatureLength(), 319);
  EXPECT_EQ(e.GetMaxCryptoParamNameLength(), 255);
  EXPECT_EQ(e.GetMaxCryptoParamValueLength(), 1024);
  EXPECT_EQ(e.GetMaxErrorStringLength(), 255);
  EXPECT_EQ(e.GetMaxPasswordLength(), 255);
  EXPECT_FALSE(e.IsDifferentKeys());
}

TEST(GostEngine, GuardRecordsTheFailureAndAnswersItsValue) {
  TGuardedEngine e;
  EXPECT_EQ(ErrorString(e, kErrCritical), CriticalPrefix());  // fresh: the prefix alone

  const int32_t r = e.Guard("SignData", kGuardFailure, []() -> int32_t { throw EInOutError("disk gone"); });
  EXPECT_EQ(r, -3);
  EXPECT_EQ(e.LastErrorText->ReadText(), "TCryptoCEngine.SignData: EInOutError: disk gone");
  EXPECT_EQ(ErrorString(e, kErrCritical), CriticalPrefix() + "TCryptoCEngine.SignData: EInOutError: disk gone");

  // A second failure replaces the first.
  const int32_t size = e.Guard("GetMaxEncodeAddition", kGuardSizeFailure,
                               []() -> int32_t { throw std::bad_alloc(); });
  EXPECT_EQ(size, -1);
  EXPECT_EQ(e.LastErrorText->ReadText(), "TCryptoCEngine.GetMaxEncodeAddition: EOutOfMemory: Out of memory");

  // Procedures are guarded too; a success leaves the text alone.
  e.Guard("ResetAllKeys", 0, [] { throw EConvertError("bad"); });
  EXPECT_EQ(e.LastErrorText->ReadText(), "TCryptoCEngine.ResetAllKeys: EConvertError: bad");
  EXPECT_EQ(e.Guard("SignData", kGuardFailure, [] { return 7; }), 7);
  EXPECT_EQ(e.LastErrorText->ReadText(), "TCryptoCEngine.ResetAllKeys: EConvertError: bad");

  // Anything outside the standard family passes on to the export frame.
  EXPECT_THROW(e.Guard("SignData", kGuardFailure, []() -> int32_t { throw 42; }), int);
}

TEST(GostEngine, CriticalMessageIsCutTo254Characters) {
  TGuardedEngine e;
  e.Guard("SignData", kGuardFailure, []() -> int32_t { throw EException(std::string(400, 'm')); });
  char buffer[300];
  std::memset(buffer, 0x55, sizeof buffer);
  e.GetCryptoErrorString(kErrCritical, buffer);
  EXPECT_EQ(strnlen(buffer, sizeof buffer), 254u);
  EXPECT_EQ(std::string(buffer, CriticalPrefix().size()), CriticalPrefix());
  EXPECT_EQ(buffer[254], '\0');
  EXPECT_EQ(buffer[255], 0x55);
}

TEST(GostEngine, LastErrorMessageStaysEmptyAfterAFailure) {
  TGuardedEngine e;
  e.Guard("SignData", kGuardFailure, []() -> int32_t { throw EException("x"); });
  char buffer[16] = "stale";
  e.GetLastErrorMessage(buffer);
  EXPECT_STREQ(buffer, "");
}

}  // namespace
}  // namespace tzm::test
