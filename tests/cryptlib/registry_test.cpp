// The binding registry and the key set of an engine, in-process.
#include <gtest/gtest.h>

#include <vector>

#include "gost.h"
#include "registry.h"

namespace tzm {
namespace {

TEST(Registry, KeyParamsExpandPathsAndReadTheTimeouts) {
  TCryptoCEngine engine;
  TKeySet keys;
  ASSERT_EQ(GetKeyParams(engine, keys), 0);
  EXPECT_EQ(keys.PublicKeyPath, "A:\\self.pub");
  EXPECT_EQ(keys.SecretKeyPath, "A:\\self.sec");
  EXPECT_EQ(keys.AbonentsDir, "A:\\ABONENTS\\");
  EXPECT_EQ(keys.CADir, "A:\\CA\\");
  EXPECT_EQ(keys.KeyRequestTimeout, 60);
  EXPECT_EQ(keys.LastOperationTimeout, 5);
  EXPECT_EQ(KeySetText(keys), "A:\\self.pubA:\\self.secA:\\ABONENTS\\A:\\CA\\");

  engine.SetCryptoParamValue(7, "");
  engine.SetCryptoParamValue(8, "0");
  ASSERT_EQ(GetKeyParams(engine, keys), 0);
  EXPECT_EQ(keys.KeyRequestTimeout, 60);
  EXPECT_EQ(keys.LastOperationTimeout, 0);
  engine.SetCryptoParamValue(8, "-7");
  ASSERT_EQ(GetKeyParams(engine, keys), 0);
  EXPECT_EQ(keys.LastOperationTimeout, -7);

  for (const char* bad : {"60 ", " 60", "1e3", "abc", "99999999999"}) {
    engine.SetCryptoParamValue(7, bad);
    keys = TKeySet{};
    EXPECT_EQ(GetKeyParams(engine, keys), -13) << bad;
    EXPECT_EQ(keys.PublicKeyPath, "A:\\self.pub");  // paths are produced anyway
  }
}

TEST(Registry, KeySetsDifferingOnlyInLetterCaseShareOneBinding) {
  TCryptoCEngine first;
  TCryptoCEngine second;
  TCryptoCEngine third;
  first.SetCryptoParamValue(1, "C:\\Keys\\Self.pub");
  second.SetCryptoParamValue(1, "c:\\KEYS\\self.PUB");
  third.SetCryptoParamValue(1, "C:\\Keys\\Other.pub");
  first.PasswordRequestFunc = reinterpret_cast<void*>(0x1234);

  const size_t before = CryptoDLLCount();
  TKeySet keys;
  TCryptoC_DLL* a = nullptr;
  TCryptoC_DLL* b = nullptr;
  TCryptoC_DLL* c = nullptr;
  ASSERT_EQ(GetKeyParams(first, keys), 0);
  ASSERT_EQ(GetCryptoDLL(first, keys, a), 0);
  ASSERT_EQ(GetKeyParams(second, keys), 0);
  ASSERT_EQ(GetCryptoDLL(second, keys, b), 0);
  ASSERT_EQ(GetKeyParams(third, keys), 0);
  ASSERT_EQ(GetCryptoDLL(third, keys, c), 0);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_EQ(a->PasswordRequestFunc, reinterpret_cast<void*>(0x1234));
  EXPECT_EQ(CryptoDLLCount(), before + 2);

  // Cyrillic letters of both cases count as equal too.
  TCryptoC_DLL* d = nullptr;
  TCryptoC_DLL* e = nullptr;
  ASSERT_EQ(GetCryptoDLLByText("\xCA\xCB\xDE\xD7", nullptr, d), 0);  // КЛЮЧ
  ASSERT_EQ(GetCryptoDLLByText("\xEA\xEB\xFE\xF7", nullptr, e), 0);  // ключ
  EXPECT_EQ(d, e);

  std::vector<TCryptoC_DLL*> seen;
  ForEachCryptoDLL([&](TCryptoC_DLL& binding) { seen.push_back(&binding); });
  ASSERT_EQ(seen.size(), before + 3);
  EXPECT_EQ(seen[before], a);
  EXPECT_EQ(seen[before + 1], c);
  EXPECT_EQ(seen[before + 2], d);
}

}  // namespace
}  // namespace tzm
