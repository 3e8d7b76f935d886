// The two dispatchers: every kind reaches its operation with its arguments in
// the operation's order; every other kind answers -1 and touches nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/test_engines.h"

namespace tzm::test {
namespace {

struct TCall {
  std::string Name;
  std::vector<const void*> Args;
};

// Records each sub-operation call; kinds travel as pointer-sized values.
class TSpyEngine : public TBareEngine {
 public:
  std::vector<TCall> Calls;
  static const void* K(int32_t kind) { return reinterpret_cast<const void*>(static_cast<intptr_t>(kind)); }
  int32_t Rec(const char* name, std::vector<const void*> args) {
    Calls.push_back({name, std::move(args)});
    return 100;
  }

  int32_t ImportKind9(TArg a, TArg b, TArg c) override { return Rec("ImportKind9", {a, b, c}); }
  int32_t ImportKind1(TArg a, TArg b, TArg c) override { return Rec("ImportKind1", {a, b, c}); }
  int32_t ImportKind5(TArg a, TArg b, TArg c) override { return Rec("ImportKind5", {a, b, c}); }
  int32_t ImportKind6(TArg a, TArg b) override { return Rec("ImportKind6", {a, b}); }
  int32_t ImportKind11(TArg a, TArg b, TArg c) override { return Rec("ImportKind11", {a, b, c}); }
  int32_t ImportKind13(TArg a, TArg b, TArg c) override { return Rec("ImportKind13", {a, b, c}); }
  int32_t ImportKind12(TArg a, TArg b, TArg c) override { return Rec("ImportKind12", {a, b, c}); }
  int32_t ImportKind14() override { return Rec("ImportKind14", {}); }
  int32_t ImportKind15(TArg a, TArg b) override { return Rec("ImportKind15", {a, b}); }
  int32_t IncludePublicKey(const char* f) override { return Rec("IncludePublicKey", {f}); }
  int32_t IncludePublicEncodeKey(const char* f) override { return Rec("IncludePublicEncodeKey", {f}); }
  int32_t IncludePublicKeyTransfer(const char* t) override { return Rec("IncludePublicKeyTransfer", {t}); }
  int32_t IncludeCACertificateFromTransfer(TArg a) override { return Rec("IncludeCACertificateFromTransfer", {a}); }
  int32_t IncludeCRL(TArg a) override { return Rec("IncludeCRL", {a}); }

  using B = uint8_t*;
  using L = int32_t*;
  int32_t ExportKind4(TArg a4, B b, L l) override { return Rec("ExportKind4", {a4, b, l}); }
  int32_t ExportKind5(TArg a4, TArg a2, B b, L l) override { return Rec("ExportKind5", {a4, a2, b, l}); }
  int32_t ExportKind12(TArg a4, B b, L l) override { return Rec("ExportKind12", {a4, b, l}); }
  int32_t ExportKind13(TArg a4, B b, L l) override { return Rec("ExportKind13", {a4, b, l}); }
  int32_t ExportKind1(TArg a4, TArg a2, B b, L l) override { return Rec("ExportKind1", {a4, a2, b, l}); }
  int32_t ExportTransferContent(TArg a4, TArg a2, B b, L l) override {
    return Rec("ExportTransferContent", {a4, a2, b, l});
  }
  int32_t ExportKind7(TArg a4, TArg a2, TArg a3, B b, L l) override { return Rec("ExportKind7", {a4, a2, a3, b, l}); }
  int32_t ExportKind18(int32_t k, TArg a2, TArg a3, TArg a4, B b, L l) override {
    return Rec("ExportKind18", {K(k), a2, a3, a4, b, l});
  }
  int32_t ExportRG_WO_dir_support(TArg a4, B b, L l) override { return Rec("ExportRG_WO_dir_support", {a4, b, l}); }
  int32_t ExportKind9(TArg a4, TArg a2, TArg a3, B b, L l) override { return Rec("ExportKind9", {a4, a2, a3, b, l}); }
  int32_t ExportKind15(TArg a4, TArg a2, TArg a3, B b, L l) override { return Rec("ExportKind15", {a4, a2, a3, b, l}); }
  int32_t ExportKind10(TArg a4, TArg a2, TArg a3, B b, L l) override { return Rec("ExportKind10", {a4, a2, a3, b, l}); }
  int32_t ExportKind101(int32_t k, TArg a2, TArg a3, TArg a4, B b, L l) override {
    return Rec("ExportKind101", {K(k), a2, a3, a4, b, l});
  }
  int32_t ExportKind11(TArg a4, B b, L l) override { return Rec("ExportKind11", {a4, b, l}); }
  int32_t ExportKind14(TArg a4, TArg a2, TArg a3, B b, L l) override { return Rec("ExportKind14", {a4, a2, a3, b, l}); }
  int32_t ExportKind16(TArg a4, TArg a2, TArg a3, B b, L l) override { return Rec("ExportKind16", {a4, a2, a3, b, l}); }
  int32_t ExportParamCheckRes(TArg a4, B b, L l) override { return Rec("ExportParamCheckRes", {a4, b, l}); }
  int32_t CheckSecretKeyReady(TArg a4, B b, L l) override { return Rec("CheckSecretKeyReady", {a4, b, l}); }
  int32_t ExportKind21(TArg a4, B b, L l) override { return Rec("ExportKind21", {a4, b, l}); }
  int32_t ExportKind201(int32_t k, TArg a2, TArg a3, TArg a4, B b, L l) override {
    return Rec("ExportKind201", {K(k), a2, a3, a4, b, l});
  }
  int32_t ExportKind19(TArg a2, TArg a3, TArg a4, B b, L l) override { return Rec("ExportKind19", {a2, a3, a4, b, l}); }
  int32_t ExportKind22(TArg a2, TArg a3, TArg a4, B b, L l) override { return Rec("ExportKind22", {a2, a3, a4, b, l}); }
  int32_t ExportKind24(TArg a2, TArg a3, TArg a4, B b, L l) override { return Rec("ExportKind24", {a2, a3, a4, b, l}); }
  int32_t ExportKind26(B b, int32_t len) override { return Rec("ExportKind26", {b, K(len)}); }
  int32_t ExportKind31(TArg a2, TArg a3, TArg a4, B b, L l) override { return Rec("ExportKind31", {a2, a3, a4, b, l}); }
  int32_t ExportKind32(TArg a2, TArg a3, TArg a4, B b, L l) override { return Rec("ExportKind32", {a2, a3, a4, b, l}); }
  int32_t ExportKind35(int32_t k, TArg a2, TArg a3, TArg a4, B b, L l) override {
    return Rec("ExportKind35", {K(k), a2, a3, a4, b, l});
  }
  int32_t ExportKind28(TArg a2, TArg a3, TArg a4, B b, L l) override { return Rec("ExportKind28", {a2, a3, a4, b, l}); }
  int32_t ExportKind29(TArg a2, TArg a3, TArg a4, B b, L l) override { return Rec("ExportKind29", {a2, a3, a4, b, l}); }
  int32_t ExportKind30(TArg a2, TArg a3, TArg a4, B b, L l) override { return Rec("ExportKind30", {a2, a3, a4, b, l}); }
  int32_t ExportKind40(int32_t k, TArg a2, TArg a3, TArg a4, B b, L l) override {
    return Rec("ExportKind40", {K(k), a2, a3, a4, b, l});
  }
};

TEST(ImportObject, RoutesEveryKindWithItsArguments) {
  int a = 0, b = 0, c = 0;
  const void* A = &a;
  const void* Bp = &b;
  const void* C = &c;
  struct TRow {
    int32_t Kind;
    const char* Name;
    std::vector<const void*> Args;
  };
  const TRow rows[] = {
      {1, "ImportKind1", {A, Bp, C}},     {2, "IncludePublicKey", {Bp}},
      {3, "ImportKind1", {A, Bp, C}},     {4, "IncludePublicEncodeKey", {Bp}},
      {5, "ImportKind5", {A, Bp, C}},     {6, "ImportKind6", {A, Bp}},
      {7, "IncludePublicKeyTransfer", {Bp}}, {8, "IncludeCACertificateFromTransfer", {Bp}},
      {9, "ImportKind9", {A, Bp, C}},     {10, "IncludeCRL", {Bp}},
      {11, "ImportKind11", {A, Bp, C}},   {12, "ImportKind12", {A, Bp, C}},
      {13, "ImportKind13", {A, Bp, C}},   {14, "ImportKind14", {}},
      {15, "ImportKind15", {A, Bp}},
  };
  for (const TRow& row : rows) {
    TSpyEngine e;
    EXPECT_EQ(e.ImportObject(row.Kind, &a, &b, &c), 100) << row.Kind;
    ASSERT_EQ(e.Calls.size(), 1u) << row.Kind;
    EXPECT_EQ(e.Calls[0].Name, row.Name) << row.Kind;
    EXPECT_EQ(e.Calls[0].Args, row.Args) << row.Kind;
  }
  for (int32_t kind : {0, 16, -1, 100}) {
    TSpyEngine e;
    EXPECT_EQ(e.ImportObject(kind, &a, &b, &c), -1);
    EXPECT_TRUE(e.Calls.empty());
  }
}

TEST(ImportObject, BaseImportKind3FollowsImportKind1) {
  struct TKind1 : TBareEngine {
    int32_t ImportKind1(TArg, TArg b, TArg) override { return *static_cast<int*>(b); }
  } e;
  int value = 42;
  EXPECT_EQ(e.ImportObject(3, nullptr, &value, nullptr), 42);
  TBareEngine bare;
  EXPECT_EQ(bare.ImportObject(3, nullptr, &value, nullptr), -1);
}

TEST(ExportObject, RoutesEveryKindWithItsArgumentOrder) {
  int x2 = 0, x3 = 0, x4 = 0;
  uint8_t buffer[4] = {};
  int32_t len = 4;
  const void* a2 = &x2;
  const void* a3 = &x3;
  const void* a4 = &x4;
  const void* b = buffer;
  const void* l = &len;
  auto K = TSpyEngine::K;
  struct TRow {
    int32_t Kind;
    const char* Name;
    std::vector<const void*> Args;
  };
  const std::vector<TRow> rows = {
      {1, "ExportKind1", {a4, a2, b, l}},
      {4, "ExportKind4", {a4, b, l}},
      {5, "ExportKind5", {a4, a2, b, l}},
      {6, "ExportTransferContent", {a4, a2, b, l}},
      {7, "ExportKind7", {a4, a2, a3, b, l}},
      {8, "ExportRG_WO_dir_support", {a4, b, l}},
      {9, "ExportKind9", {a4, a2, a3, b, l}},
      {10, "ExportKind10", {a4, a2, a3, b, l}},
      {11, "ExportKind11", {a4, b, l}},
      {12, "ExportKind12", {a4, b, l}},
      {13, "ExportKind13", {a4, b, l}},
      {14, "ExportKind14", {a4, a2, a3, b, l}},
      {15, "ExportKind15", {a4, a2, a3, b, l}},
      {16, "ExportKind16", {a4, a2, a3, b, l}},
      {17, "ExportParamCheckRes", {a4, b, l}},
      {18, "ExportKind18", {K(18), a2, a3, a4, b, l}},
      {19, "ExportKind19", {a2, a3, a4, b, l}},
      {20, "CheckSecretKeyReady", {a4, b, l}},
      {21, "ExportKind21", {a4, b, l}},
      {22, "ExportKind22", {a2, a3, a4, b, l}},
      {24, "ExportKind24", {a2, a3, a4, b, l}},
      {26, "ExportKind26", {b, K(4)}},
      {28, "ExportKind28", {a2, a3, a4, b, l}},
      {29, "ExportKind29", {a2, a3, a4, b, l}},
      {30, "ExportKind30", {a2, a3, a4, b, l}},
      {31, "ExportKind31", {a2, a3, a4, b, l}},
      {32, "ExportKind32", {a2, a3, a4, b, l}},
      {35, "ExportKind35", {K(35), a2, a3, a4, b, l}},
      {40, "ExportKind40", {K(40), a2, a3, a4, b, l}},
      {101, "ExportKind101", {K(101), a2, a3, a4, b, l}},
      {102, "ExportKind101", {K(102), a2, a3, a4, b, l}},
      {103, "ExportKind101", {K(103), a2, a3, a4, b, l}},
      {201, "ExportKind201", {K(201), a2, a3, a4, b, l}},
  };
  for (const TRow& row : rows) {
    TSpyEngine e;
    EXPECT_EQ(e.ExportObject(row.Kind, &x2, &x3, &x4, buffer, &len), 100) << row.Kind;
    ASSERT_EQ(e.Calls.size(), 1u) << row.Kind;
    EXPECT_EQ(e.Calls[0].Name, row.Name) << row.Kind;
    EXPECT_EQ(e.Calls[0].Args, row.Args) << row.Kind;
  }
}

TEST(ExportObject, UnlistedKindsAnswerMinusOneWithoutTouchingTheBuffer) {
  std::vector<int32_t> unlisted = {0, 2, 3, 23, 25, 27, 33, 34, 104, 150, 200, 202, 999, -1, -20};
  for (int32_t k = 36; k <= 39; ++k) unlisted.push_back(k);
  for (int32_t k = 41; k <= 100; ++k) unlisted.push_back(k);
  for (int32_t kind : unlisted) {
    TSpyEngine e;
    uint8_t buffer[4] = {7, 7, 7, 7};
    int32_t len = 4;
    EXPECT_EQ(e.ExportObject(kind, nullptr, nullptr, nullptr, buffer, &len), -1) << kind;
    EXPECT_TRUE(e.Calls.empty()) << kind;
    EXPECT_EQ(len, 4);
    EXPECT_EQ(buffer[0], 7);
  }
}

TEST(ExportObject, BaseSubOperationsAnswerMinusOne) {
  TBareEngine e;
  uint8_t buffer[4] = {};
  int32_t len = 4;
  for (int32_t kind : {1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 21, 22, 24, 26, 28, 29, 30,
                       31, 32, 35, 40, 101, 102, 103, 201}) {
    EXPECT_EQ(e.ExportObject(kind, nullptr, nullptr, nullptr, buffer, &len), -1) << kind;
  }
  // Kind 26 reads the length by value: a nil length pointer is a fault.
  EXPECT_THROW(e.ExportObject(26, nullptr, nullptr, nullptr, buffer, nullptr), ENilPointer);
}

}  // namespace
}  // namespace tzm::test
