// The world every fuzz target runs in: two users with fixed key pairs (the
// pairs the seed corpora were signed and encrypted with), each with a key
// folder, an Abonents folder that knows the other user, and an engine of the
// library driven through its exports in-process. Also the self-checking data
// pattern that seeds use as plain text, so that a target can tell whether
// bytes that passed a MAC or a signature are the bytes that were protected.
//
// The same sources build as libFuzzer targets and as plain replay programs
// (fuzz_replay_main.cc) that the normal test suite runs over the corpora and
// the kept crash inputs.
#ifndef TZM_FUZZ_FUZZ_WORLD_H
#define TZM_FUZZ_FUZZ_WORLD_H

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "engine.h"
#include "gost.h"
#include "tz_morka.h"

#ifndef TZM_FUZZ_KEYS_DIR
#error "TZM_FUZZ_KEYS_DIR (the folder of the fixed fuzz key pairs) must be defined"
#endif

namespace tzm::fuzz {

using Bytes = std::vector<uint8_t>;

// FUZZ_CHECK stops the run with a message when a model check fails; libFuzzer
// keeps the input that did it.
#define FUZZ_CHECK(cond, what)                                                          \
  do {                                                                                \
    if (!(cond)) {                                                                    \
      std::fprintf(stderr, "fuzz check failed at %s:%d: %s (%s)\n", __FILE__, __LINE__, \
                   #cond, what);                                                      \
      std::abort();                                                                   \
    }                                                                                 \
  } while (0)

// Inputs are capped: every format here is small, and big inputs only slow
// the search down (the largest transfer text is 2198 characters).
inline constexpr size_t kMaxInputLen = 4096;

// The fixed users. Both hold GOST R 34.10-2001 pairs, the faster algorithm.
inline constexpr const char* kUserA = "FUZZ-A";
inline constexpr const char* kUserB = "FUZZ-B";

inline Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool WriteFile(const std::filesystem::path& path, const uint8_t* data, size_t len) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(len));
  return static_cast<bool>(out);
}

inline bool WriteFile(const std::filesystem::path& path, const Bytes& data) {
  return WriteFile(path, data.data(), data.size());
}

// Pattern is the self-checking plain text of the seeds: a 4-byte marker,
// a one-byte tag, then bytes that depend on their position and the tag.
inline Bytes Pattern(size_t len, uint8_t tag) {
  Bytes out(len);
  static constexpr uint8_t kMarker[4] = {'T', 'Z', 'M', 'P'};
  for (size_t i = 0; i < len; ++i) {
    if (i < 4) {
      out[i] = kMarker[i];
    } else if (i == 4) {
      out[i] = tag;
    } else {
      out[i] = static_cast<uint8_t>(i * 131u + tag * 7u + (i >> 8));
    }
  }
  return out;
}

// IsPattern tells whether data is exactly a Pattern of its own length.
inline bool IsPattern(const uint8_t* data, size_t len) {
  if (len == 0) return false;
  const Bytes expected = Pattern(len, len > 4 ? data[4] : 0);
  return std::memcmp(expected.data(), data, len) == 0;
}

// TFuzzUser is one key owner with its folders and engine.
struct TFuzzUser {
  std::string UID;
  std::filesystem::path Folder;
  std::string PublicKeyPath;
  std::string SecretKeyPath;
  std::string AbonentsDir;  // ends in "/"
  Bytes PublicKey;
  Bytes SecretKey;
  TZMEngine Engine = nullptr;
};

// TFuzzWorld sets up the users once per process under a scratch folder that
// is removed at exit.
class TFuzzWorld {
 public:
  static TFuzzWorld& Get() {
    static TFuzzWorld world;
    return world;
  }

  TFuzzUser A;
  TFuzzUser B;
  std::filesystem::path Root;

  // Scratch answers a per-process folder for files a target writes.
  std::filesystem::path Scratch() const { return Root / "scratch"; }

  // ResetUser restores a user's folders to the start state (own key pair,
  // the other user's key in Abonents) and clears the engine's caches.
  void ResetUser(TFuzzUser& user, const TFuzzUser& other) {
    std::error_code ignored;
    std::filesystem::remove_all(user.Folder, ignored);
    std::filesystem::create_directories(user.Folder / "abonents");
    std::filesystem::create_directories(user.Folder / "ca");
    WriteFile(user.PublicKeyPath, user.PublicKey);
    WriteFile(user.SecretKeyPath, user.SecretKey);
    WriteFile(std::filesystem::path(user.AbonentsDir) / (other.UID + ".pub"), other.PublicKey);
    ClearCash(user.Engine);
  }

 private:
  TFuzzWorld() {
    StartEngineModule();
    StartGostModule();
    const char* shm = "/dev/shm";
    const std::filesystem::path base =
        std::filesystem::is_directory(shm) ? std::filesystem::path(shm) : std::filesystem::temp_directory_path();
    Root = base / ("tzm_fuzz_" + std::to_string(::getpid()));
    std::filesystem::remove_all(Root);
    std::filesystem::create_directories(Scratch());
    Setup(A, kUserA, "a");
    Setup(B, kUserB, "b");
    ResetUser(A, B);
    ResetUser(B, A);
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(Get().Root, ignored);
    });
  }

  void Setup(TFuzzUser& user, const char* uid, const char* folder) {
    user.UID = uid;
    user.Folder = Root / folder;
    user.PublicKeyPath = (user.Folder / "self.pub").string();
    user.SecretKeyPath = (user.Folder / "self.sec").string();
    user.AbonentsDir = (user.Folder / "abonents").string() + "/";
    const std::filesystem::path keys = TZM_FUZZ_KEYS_DIR;
    user.PublicKey = ReadFile(keys / (std::string(uid) + ".pub"));
    user.SecretKey = ReadFile(keys / (std::string(uid) + ".sec"));
    if (user.PublicKey.empty() || user.SecretKey.size() != 164) {
      std::fprintf(stderr, "fuzz keys missing in %s (run fuzz_make_seeds)\n", TZM_FUZZ_KEYS_DIR);
      std::abort();
    }
    user.Engine = GetCryptObj(0);
    SetCryptoParamValue(user.Engine, 1, user.PublicKeyPath.c_str());
    SetCryptoParamValue(user.Engine, 2, user.SecretKeyPath.c_str());
    SetCryptoParamValue(user.Engine, 3, user.AbonentsDir.c_str());
    SetCryptoParamValue(user.Engine, 4, (user.Folder / "ca").string().append("/").c_str());
  }
};

}  // namespace tzm::fuzz

#endif  // TZM_FUZZ_FUZZ_WORLD_H
