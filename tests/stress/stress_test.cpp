// Concurrency stress through the exports, meant to run under ThreadSanitizer:
// eight threads, each with its own two engines (one per key set), so that
// four engines share each of the two bindings. They sign, verify, encrypt,
// decrypt, attach and strip signatures, include and remove correspondents,
// pass transfers, refresh the cache and clear it, all at once, and check
// every result. Bounded by a round count (TZM_STRESS_ROUNDS, default 10)
// and a wall-clock limit (TZM_STRESS_SECONDS, default 120); the figures are
// printed at the end.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "test_users.h"

namespace tzm::test {
namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<uint8_t>;

constexpr int kThreads = 8;

int EnvInt(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

enum TOp { kSignVerify, kEncryptDecrypt, kAttached, kIncludeRemove, kTransfer, kUpdate, kClear, kNumOps };
constexpr const char* kOpNames[kNumOps] = {"sign+verify", "encrypt+decrypt", "AddSign+RemoveSign",
                                           "include+remove", "transfer",   "UpdateCertificateCash",
                                           "ClearCash"};

// TFailures collects failed checks from every thread; gtest assertions are
// made on the main thread only.
struct TFailures {
  std::mutex Lock;
  std::vector<std::string> Texts;
  void Add(int thread, const char* op, const std::string& what) {
    std::lock_guard<std::mutex> guard(Lock);
    if (Texts.size() < 50) Texts.push_back("thread " + std::to_string(thread) + " " + op + ": " + what);
  }
};

class StressTest : public TTestUsersFixture {
 protected:
  TZMEngine NewEngine(const TTestUser& user) {
    TZMEngine engine = Host().GetCryptObj(0);
    EXPECT_EQ(Host().SetCryptoParamValue(engine, 1, user.PublicKeyPath.c_str()), 0);
    EXPECT_EQ(Host().SetCryptoParamValue(engine, 2, user.SecretKeyPath.c_str()), 0);
    EXPECT_EQ(Host().SetCryptoParamValue(engine, 3, user.AbonentsDir.c_str()), 0);
    EXPECT_EQ(Host().SetCryptoParamValue(engine, 4, user.CADir.c_str()), 0);
    return engine;
  }
};

// TWorker is one thread's state: its engines, its own correspondent and its
// counters.
struct TWorker {
  int Index = 0;
  TZMEngine Own = nullptr;   // engine of key set Index % 2
  TZMEngine Peer = nullptr;  // engine of the other key set
  const TTestUser* OwnUser = nullptr;
  const TTestUser* PeerUser = nullptr;
  std::string CorrespondentUID;
  Bytes CorrespondentKey;
  std::filesystem::path Scratch;
  std::array<int, kNumOps> Done{};
};

void RunOp(TAbiHost& host, TWorker& w, TOp op, std::mt19937& rng, TFailures& failures) {
  const auto fail = [&](const std::string& what) { failures.Add(w.Index, kOpNames[op], what); };
  const auto expect = [&](int32_t got, int32_t want, const char* call) {
    if (got != want) fail(std::string(call) + " gave " + std::to_string(got) + ", expected " + std::to_string(want));
    return got == want;
  };
  Bytes data(1 + rng() % 3000);
  for (uint8_t& b : data) b = static_cast<uint8_t>(rng());

  switch (op) {
    case kSignVerify: {
      std::array<uint8_t, 320> block{};
      int32_t blockLen = static_cast<int32_t>(block.size());
      char uid[256] = {0};
      if (!expect(host.SignData(w.Own, data.data(), static_cast<int32_t>(data.size()), block.data(), &blockLen, uid), 0,
                  "SignData")) {
        return;
      }
      char signer[256] = {0};
      if (expect(host.VerifyData(w.Peer, data.data(), static_cast<int32_t>(data.size()), block.data(), blockLen, signer),
                 0, "VerifyData by the peer") &&
          w.OwnUser->UID != signer) {
        fail("signer UID " + std::string(signer));
      }
      data[data.size() / 2] ^= 0x40;
      expect(host.VerifyData(w.Own, data.data(), static_cast<int32_t>(data.size()), block.data(), blockLen, signer), 5,
             "VerifyData of changed data");
      break;
    }
    case kEncryptDecrypt: {
      const Bytes plain = data;
      Bytes work = data;
      work.resize(data.size() + static_cast<size_t>(host.GetMaxEncodeAddition(w.Own)));
      int32_t len = static_cast<int32_t>(data.size());
      const std::string list = w.PeerUser->UID + ";" + w.OwnUser->UID;
      if (!expect(host.EncodeData(w.Own, work.data(), &len, list.c_str()), 0, "EncodeData")) return;
      Bytes copy(work.begin(), work.begin() + len);
      int32_t copyLen = len;
      if (expect(host.DecodeData(w.Peer, copy.data(), &copyLen, nullptr), 0, "DecodeData by the peer") &&
          (copyLen != static_cast<int32_t>(plain.size()) || !std::equal(plain.begin(), plain.end(), copy.begin()))) {
        fail("peer decrypted other bytes");
      }
      if (expect(host.DecodeData(w.Own, work.data(), &len, nullptr), 0, "DecodeData by the sender") &&
          (len != static_cast<int32_t>(plain.size()) || !std::equal(plain.begin(), plain.end(), work.begin()))) {
        fail("sender decrypted other bytes");
      }
      break;
    }
    case kAttached: {
      Bytes work = data;
      work.resize(data.size() + static_cast<size_t>(host.GetMaxSignAddition(w.Own)));
      int32_t len = static_cast<int32_t>(data.size());
      if (!expect(host.AddSign(w.Own, work.data(), &len, nullptr), 0, "AddSign")) return;
      char signer[256] = {0};
      if (expect(host.RemoveSign(w.Peer, work.data(), &len, signer), 0, "RemoveSign by the peer") &&
          (len != static_cast<int32_t>(data.size()) || w.OwnUser->UID != signer)) {
        fail("RemoveSign gave other data or signer");
      }
      break;
    }
    case kIncludeRemove: {
      // Each thread has a correspondent of its own, so every result is known.
      const std::filesystem::path file = w.Scratch / "incoming.pub";
      WriteFileBytes(file, w.CorrespondentKey);
      if (!expect(host.IncludePublicKey(w.Own, file.string().c_str()), 0, "IncludePublicKey")) return;
      std::vector<char> report(2048, 0);
      expect(host.GetReport(w.Own, w.CorrespondentUID.c_str(), report.data()), 0, "GetReport of the included key");
      expect(host.RemoveCertificate(w.Own, w.CorrespondentUID.c_str()), 0, "RemoveCertificate");
      expect(host.GetReport(w.Own, w.CorrespondentUID.c_str(), report.data()), -11, "GetReport of the removed key");
      break;
    }
    case kTransfer: {
      // The peer's key set re-includes this user's key from a transfer while
      // other threads verify this user's signatures with it.
      std::vector<char> text(static_cast<size_t>(host.GetMaxPublicKeyTransferSize(w.Own)) + 1, 0);
      if (!expect(host.ExcludeSelfPublicKeyTransfer(w.Own, text.data()), 0, "ExcludeSelfPublicKeyTransfer")) return;
      char uid[256] = {0};
      if (expect(host.GetUIDByPublicKeyTransfer(w.Peer, text.data(), uid), 0, "GetUIDByPublicKeyTransfer") &&
          w.OwnUser->UID != uid) {
        fail("transfer names " + std::string(uid));
      }
      expect(host.IncludePublicKeyTransfer(w.Peer, text.data()), 0, "IncludePublicKeyTransfer");
      break;
    }
    case kUpdate:
      expect(host.UpdateCertificateCash(w.Own, w.PeerUser->UID.c_str()), 0, "UpdateCertificateCash");
      break;
    case kClear:
      host.ClearCash(rng() % 2 ? w.Own : w.Peer);
      break;
    case kNumOps:
      break;
  }
}

TEST_F(StressTest, EightThreadsTwoKeySetsEveryOperationAtOnce) {
  TTestUser& first = AddUser("STRESS-1", kAlgorithm2001);
  TTestUser& second = AddUser("STRESS-2", kAlgorithm2001);
  Introduce(first, second);
  const int rounds = EnvInt("TZM_STRESS_ROUNDS", 10);
  const auto deadline = Clock::now() + std::chrono::seconds(EnvInt("TZM_STRESS_SECONDS", 120));

  std::vector<TWorker> workers(kThreads);
  for (int i = 0; i < kThreads; ++i) {
    TWorker& w = workers[static_cast<size_t>(i)];
    w.Index = i;
    w.OwnUser = i % 2 == 0 ? &first : &second;
    w.PeerUser = i % 2 == 0 ? &second : &first;
    w.Own = NewEngine(*w.OwnUser);
    w.Peer = NewEngine(*w.PeerUser);
    w.CorrespondentUID = "STRESS-C" + std::to_string(i);
    w.CorrespondentKey = GeneratedKeyPair(w.CorrespondentUID, kAlgorithm2001).PublicKey;
    ASSERT_FALSE(w.CorrespondentKey.empty());
    w.Scratch = Root / ("thread_" + std::to_string(i));
    std::filesystem::create_directories(w.Scratch);
  }

  TFailures failures;
  std::atomic<bool> go{false};
  const auto started = Clock::now();
  std::vector<std::thread> threads;
  for (TWorker& w : workers) {
    threads.emplace_back([&, wp = &w] {
      std::mt19937 rng(static_cast<uint32_t>(1000 + wp->Index));
      while (!go.load()) std::this_thread::yield();
      for (int round = 0; round < rounds && Clock::now() < deadline; ++round) {
        for (int k = 0; k < kNumOps; ++k) {
          // Each thread walks the operations from a different start.
          const TOp op = static_cast<TOp>((k + wp->Index) % kNumOps);
          RunOp(Host(), *wp, op, rng, failures);
          ++wp->Done[op];
        }
      }
    });
  }
  go = true;
  for (std::thread& t : threads) t.join();
  const double seconds = std::chrono::duration<double>(Clock::now() - started).count();

  std::array<int, kNumOps> totals{};
  int all = 0;
  for (TWorker& w : workers) {
    for (int k = 0; k < kNumOps; ++k) totals[k] += w.Done[k];
    Host().DoneEngine(w.Own);
    Host().DoneEngine(w.Peer);
  }
  std::printf("stress: %d threads, %.1f s\n", kThreads, seconds);
  for (int k = 0; k < kNumOps; ++k) {
    std::printf("  %-22s %5d\n", kOpNames[k], totals[k]);
    all += totals[k];
  }
  std::printf("  %-22s %5d (%.1f per second)\n", "all", all, all / seconds);

  for (const std::string& text : failures.Texts) ADD_FAILURE() << text;
  for (int k = 0; k < kNumOps; ++k) EXPECT_GT(totals[k], 0) << kOpNames[k] << " never ran";
}

}  // namespace
}  // namespace tzm::test
