// The export frame, driven in-process against engines of the test's own:
// arguments reach the operation unchanged and in order, failures become the
// fixed failure values, and the special exports do their extra steps.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "EngineHandles.h"
#include "gost.h"
#include "support.h"
#include "tz_morka.h"

extern "C" int TzmCallFromC(void);

namespace tzm::test {
namespace {

// Records the arguments of the operations under test; what it answers is set
// per test.
class TFrameEngine : public TCryptoEngine {
 public:
  std::vector<const void*> Args;
  int32_t Answer = 11;
  bool Throw = false;
  bool UpdateAnswerNotAvailable = true;
  int NumClearCash = 0;
  bool Different = false;
  std::string Oid;
  std::u16string Info;

  int32_t Rec(std::vector<const void*> args) {
    if (Throw) throw EException("operation failed");
    Args = std::move(args);
    return Answer;
  }
  static const void* I(int32_t v) { return reinterpret_cast<const void*>(static_cast<intptr_t>(v)); }

  void GetCryptoEngineType(char*) override {}
  int32_t GetEncodeUIDBySignUID(const char* s, char* b) override { return Rec({s, b}); }
  int32_t GetCurrentUserUID(char* b) override { return Rec({b}); }
  int32_t EncodeData(uint8_t* d, int32_t* l, const char* u) override { return Rec({d, l, u}); }
  int32_t DecodeData(uint8_t* d, int32_t* l, TArg r) override { return Rec({d, l, r}); }
  int32_t SignData(const uint8_t* d, int32_t dl, uint8_t* s, int32_t* sl, const char* u) override {
    return Rec({d, I(dl), s, sl, u});
  }
  int32_t VerifyData(const uint8_t* d, int32_t dl, const uint8_t* s, int32_t sl, char* u) override {
    return Rec({d, I(dl), s, I(sl), u});
  }
  int32_t HashData(const uint8_t* d, int32_t dl, int32_t f, uint8_t* o, int32_t* ol) override {
    return Rec({d, I(dl), I(f), o, ol});
  }
  int32_t GetPureSign(const uint8_t* b, int32_t bl, TArg r, char* t, int32_t* tl) override {
    return Rec({b, I(bl), r, t, tl});
  }
  int32_t SaveSignedDataToFile(const uint8_t* d, int32_t dl, const uint8_t* s, int32_t sl, const char* f) override {
    return Rec({d, I(dl), s, I(sl), f});
  }
  int32_t GetParamInfo(int32_t i, int32_t* k, char* t, int32_t* tl) override { return Rec({I(i), k, t, tl}); }
  int32_t GetPublicKeyTransferByFile(char* b, const char* f) override { return Rec({b, f}); }
  int32_t GetReport(const char* u, char* b) override { return Rec({u, b}); }
  int32_t GetMaxReportSize() override { return 2048; }
  int32_t UpdateCertificateCash(const char* u) override {
    Args = {u};
    return UpdateAnswerNotAvailable ? -1 : Answer;
  }
  void ClearCash() override {
    ++NumClearCash;
    if (Throw) throw EException("clear failed");
  }
  bool IsDifferentKeys() override {
    if (Throw) throw EException("failed");
    return Different;
  }
  int32_t RegisterOIDInfo(const std::string& oid, const std::u16string& info) override {
    Oid = oid;
    Info = info;
    return Answer;
  }
};

struct TLiveFrameEngine {
  TLiveFrameEngine() {
    auto owned = std::make_unique<TFrameEngine>();
    Engine = owned.get();
    Handle = static_cast<TZMEngine>(RegisterEngine(std::move(owned)));
  }
  ~TLiveFrameEngine() { DoneEngine(Handle); }
  TFrameEngine* Engine;
  TZMEngine Handle;
};

TEST(ExportFrame, ArgumentsReachTheOperationInTheHostsOrder) {
  TLiveFrameEngine live;
  TFrameEngine& e = *live.Engine;
  uint8_t d[4], s[4];
  char t[8];
  int32_t l1 = 0, l2 = 0;
  auto I = TFrameEngine::I;

  EXPECT_EQ(SignData(live.Handle, d, 3, s, &l1, "uid"), 11);
  EXPECT_EQ(e.Args, (std::vector<const void*>{d, I(3), s, &l1, e.Args[4]}));
  EXPECT_STREQ(static_cast<const char*>(e.Args[4]), "uid");
  EXPECT_EQ(VerifyData(live.Handle, d, 3, s, 4, t), 11);
  EXPECT_EQ(e.Args, (std::vector<const void*>{d, I(3), s, I(4), t}));
  EXPECT_EQ(VerifySignWOCheckValidity(live.Handle, s, 2, d, 1, t), 11);
  EXPECT_EQ(e.Args, (std::vector<const void*>{s, I(2), d, I(1), t}));
  EXPECT_EQ(HashData(live.Handle, d, 3, 2, s, &l1), 11);
  EXPECT_EQ(e.Args, (std::vector<const void*>{d, I(3), I(2), s, &l1}));
  EXPECT_EQ(GetPureSign(live.Handle, d, 3, &l2, t, &l1), 11);
  EXPECT_EQ(e.Args, (std::vector<const void*>{d, I(3), &l2, t, &l1}));
  EXPECT_EQ(SaveSignedDataToFile(live.Handle, d, 3, s, 4, t), 11);
  EXPECT_EQ(e.Args, (std::vector<const void*>{d, I(3), s, I(4), t}));
  EXPECT_EQ(GetParamInfo(live.Handle, 5, &l1, t, &l2), 11);
  EXPECT_EQ(e.Args, (std::vector<const void*>{I(5), &l1, t, &l2}));
  EXPECT_EQ(GetPublicKeyTransferByFile(live.Handle, t, "f.pub"), 11);  // output first
  EXPECT_EQ(e.Args[0], t);
  EXPECT_EQ(EncodeData(live.Handle, d, &l1, nullptr), 11);
  EXPECT_EQ(e.Args, (std::vector<const void*>{d, &l1, nullptr}));

  // The paired names reach the same operations.
  EXPECT_EQ(GetMaxPublicKeyPropertiesLength(live.Handle), 2048);
  EXPECT_EQ(GetMaxReportSize(live.Handle), 2048);
  EXPECT_EQ(GetPublicKeyProperties(live.Handle, "u", t), 11);
  EXPECT_EQ(e.Args[1], t);
}

TEST(ExportFrame, ExportObjectHandsItsSixArgumentsToTheDispatcher) {
  struct TKind7 : TFrameEngine {
    int32_t ExportKind7(TArg a4, TArg a2, TArg a3, uint8_t* b, int32_t* l) override { return Rec({a4, a2, a3, b, l}); }
  };
  auto owned = std::make_unique<TKind7>();
  TKind7* e = owned.get();
  auto handle = static_cast<TZMEngine>(RegisterEngine(std::move(owned)));
  int a2, a3, a4;
  uint8_t b[2];
  int32_t l = 2;
  EXPECT_EQ(ExportObject(handle, 7, &a2, &a3, &a4, b, &l), 11);
  EXPECT_EQ(e->Args, (std::vector<const void*>{&a4, &a2, &a3, b, &l}));
  EXPECT_EQ(ExportObject(handle, 23, &a2, &a3, &a4, b, &l), -1);
  DoneEngine(handle);
}

TEST(ExportFrame, FailuresBecomeTheFixedValues) {
  TLiveFrameEngine live;
  live.Engine->Throw = true;
  uint8_t d[4];
  int32_t l = 4;
  char t[8] = "keep";
  EXPECT_EQ(SignData(live.Handle, d, 1, d, &l, nullptr), -3);
  EXPECT_EQ(GetCurrentUserUID(live.Handle, t), -3);
  EXPECT_EQ(IsDifferentKeys(live.Handle), -1);  // a failure reads as a yes
  ClearCash(live.Handle);                       // swallowed
  // The base engine's nil-pointer faults are caught by the frame too.
  EXPECT_EQ(CertAndRequestTransferMatch(live.Handle, nullptr, nullptr, nullptr), -3);
  EXPECT_EQ(ExportObject(live.Handle, 26, nullptr, nullptr, nullptr, d, nullptr), -3);
  EXPECT_STREQ(t, "keep");
}

TEST(ExportFrame, SpecialExports) {
  TLiveFrameEngine live;
  TFrameEngine& e = *live.Engine;

  EXPECT_EQ(IsDifferentKeys(live.Handle), 0);
  e.Different = true;
  EXPECT_EQ(IsDifferentKeys(live.Handle), -1);

  // UpdateCertificateCash: -1 from the operation clears the cache and counts as done.
  EXPECT_EQ(UpdateCertificateCash(live.Handle, "u"), 0);
  EXPECT_EQ(e.NumClearCash, 1);
  e.UpdateAnswerNotAvailable = false;
  e.Answer = -19;
  EXPECT_EQ(UpdateCertificateCash(live.Handle, "u"), -19);
  EXPECT_EQ(e.NumClearCash, 1);
  e.UpdateAnswerNotAvailable = true;
  e.Throw = true;  // a failing clear is swallowed
  EXPECT_EQ(UpdateCertificateCash(live.Handle, "u"), 0);
  e.Throw = false;

  int callback = 0;
  SetTMRequestFunc(live.Handle, &callback);
  EXPECT_EQ(e.TMRequestFunc, &callback);
  SetPasswordRequestFunc(live.Handle, &callback);
  EXPECT_EQ(e.PasswordRequestFunc, &callback);

  SetRemoteGeneratePath(live.Handle, "C:\\rg");
  EXPECT_EQ(e.RemoteGeneratePath, "C:\\rg\\");
  SetRemoteGeneratePath(live.Handle, nullptr);
  EXPECT_EQ(e.RemoteGeneratePath, "");

  // RegisterOIDInfo converts Info from Windows-1251 to UTF-16.
  e.Answer = 3;
  EXPECT_EQ(RegisterOIDInfo(live.Handle, "1.2.643", "\xCA\xEB\xFE\xF7 key"), 3);
  EXPECT_EQ(e.Oid, "1.2.643");
  EXPECT_EQ(e.Info, u"\u041A\u043B\u044E\u0447 key");
  EXPECT_EQ(RegisterOIDInfo(live.Handle, nullptr, nullptr), 3);
  EXPECT_EQ(e.Oid, "");
}

TEST(ExportFrame, SetRootPathKeepsTheEngineRootWhenTheProcessRootRefuses) {
  TLiveFrameEngine first, second;
  SetRootPath(first.Handle, "/tmp/tzm_frame_root");
  EXPECT_EQ(first.Engine->RootPath, "/tmp/tzm_frame_root\\");
  EXPECT_EQ(KVLRoot(), "/tmp/tzm_frame_root\\");
  SetRootPath(second.Handle, "/tmp/tzm_frame_root\\");  // the same root is accepted
  EXPECT_EQ(second.Engine->RootPath, "/tmp/tzm_frame_root\\");
  second.Engine->RootPath = "kept\\";
  SetRootPath(second.Handle, "/tmp/other_root");  // refused silently
  EXPECT_EQ(second.Engine->RootPath, "kept\\");
  EXPECT_EQ(KVLRoot(), "/tmp/tzm_frame_root\\");
}

TEST(ExportFrame, UnknownAndReleasedHandlesAreRefused) {
  auto owned = std::make_unique<TFrameEngine>();
  TFrameEngine* engine = owned.get();
  auto handle = static_cast<TZMEngine>(RegisterEngine(std::move(owned)));
  EXPECT_EQ(FindEngine(handle), engine);
  DoneEngine(handle);
  EXPECT_EQ(FindEngine(handle), nullptr);
  DoneEngine(handle);  // a second release is ignored
  int notAnEngine = 0;
  auto bogus = reinterpret_cast<TZMEngine>(&notAnEngine);
  EXPECT_EQ(GetMaxUIDLength(bogus), -1);
  EXPECT_EQ(GenerateNewSEK(bogus), -3);
  EXPECT_EQ(GetMaxFilePathLength(bogus), 255);
  DoneEngine(bogus);
  EXPECT_EQ(notAnEngine, 0);
}

TEST(ExportFrame, GetCryptObjMakesIndependentGostEngines) {
  TZMEngine a = GetCryptObj(12345);
  TZMEngine b = GetCryptObj(0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_NE(dynamic_cast<TCryptoCEngine*>(FindEngine(a)), nullptr);
  EXPECT_EQ(SetCryptoParamValue(a, 6, "Other"), 0);
  char value[1024];
  GetCryptoParamValue(b, 6, value);
  EXPECT_STREQ(value, "User1");
  DoneEngine(a);
  DoneEngine(b);
}

TEST(ExportFrame, HeaderIsUsableFromC) { EXPECT_EQ(TzmCallFromC(), 255); }

}  // namespace
}  // namespace tzm::test
