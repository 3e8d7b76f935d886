// Key pairs made by the binding itself, for tests and benchmarks: each pair
// is generated once per UID and algorithm for the whole program and then
// written wherever it is needed. Needs no test framework.
#ifndef TZM_TESTS_COMMON_KEY_PAIRS_H
#define TZM_TESTS_COMMON_KEY_PAIRS_H

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "cryptlib.h"

namespace tzm::test {

// ReadFileBytes / WriteFileBytes work on native paths.
inline std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// TestBinding is a binding of the test program's own, used to make keys.
inline TCryptoC_DLL& TestBinding() {
  static TCryptoC_DLL binding;
  return binding;
}

// TKeyPairFiles is the content of a generated key pair.
struct TKeyPairFiles {
  std::vector<uint8_t> PublicKey;
  std::vector<uint8_t> SecretKey;
};

// GeneratedKeyPair answers the key pair of |uid| and |algorithm|, making it
// with the binding on first request. Empty vectors when generation failed.
inline const TKeyPairFiles& GeneratedKeyPair(const std::string& uid, int32_t algorithm) {
  static std::mutex lock;
  static std::map<std::pair<std::string, int32_t>, TKeyPairFiles> pairs;
  std::lock_guard<std::mutex> guard(lock);
  auto found = pairs.find({uid, algorithm});
  if (found != pairs.end()) return found->second;
  TKeyPairFiles& files = pairs[{uid, algorithm}];
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() /
      ("tzm_keygen_" + std::to_string(platform::CurrentThreadId()) + "_" + std::to_string(pairs.size()));
  std::filesystem::create_directories(scratch);
  const std::string pub = (scratch / "key.pub").string();
  const std::string sec = (scratch / "key.sec").string();
  if (TestBinding().GenerateKeyPair(algorithm, uid, pub, sec) == 0) {
    files.PublicKey = ReadFileBytes(pub);
    files.SecretKey = ReadFileBytes(sec);
  }
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
  return files;
}

// RelabelledPublicKey answers the public key file |file| with its UID
// replaced by |uid|: the same keys under another owner's name, so that many
// correspondents cost one key generation.
inline std::vector<uint8_t> RelabelledPublicKey(const std::vector<uint8_t>& file, const std::string& uid) {
  std::vector<uint8_t> out(uid.begin(), uid.end());
  auto zero = std::find(file.begin(), file.end(), uint8_t{0});
  if (zero != file.end()) out.insert(out.end(), zero, file.end());
  return out;
}

}  // namespace tzm::test

#endif  // TZM_TESTS_COMMON_KEY_PAIRS_H
