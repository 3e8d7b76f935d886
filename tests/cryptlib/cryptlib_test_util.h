// Helpers shared by the binding tests: a scratch folder per test, whole-file
// reads and writes, and synthetic public key file images.
#ifndef TZM_TESTS_CRYPTLIB_TEST_UTIL_H
#define TZM_TESTS_CRYPTLIB_TEST_UTIL_H

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cryptlib.h"

namespace tzm::test {

using Bytes = std::vector<uint8_t>;

inline Bytes ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::filesystem::path& path, const Bytes& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

// CopyOver copies |from| over |to|, replacing it in place when it exists
// (std::filesystem::copy_file with overwrite_existing fails on some Windows
// runtimes).
inline void CopyOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  WriteAll(to, ReadAll(from));
}

// PublicImage builds a public key file image for |uid| with the layout of
// the key files; signing key bytes are |fill|, exchange key bytes |fill| + 1.
inline Bytes PublicImage(const std::string& uid, uint32_t algorithm, uint8_t fill = 0x5A) {
  Bytes image(uid.begin(), uid.end());
  image.push_back(0);
  for (int i = 0; i < 4; ++i) image.push_back(static_cast<uint8_t>(algorithm >> (8 * i)));
  const size_t signingLen = algorithm == 0 ? 128 : algorithm == 1 ? 100 : 0;
  image.insert(image.end(), signingLen, fill);
  image.insert(image.end(), 128, static_cast<uint8_t>(fill + 1));
  return image;
}

// TScratchFolder is a fresh folder under the system temp folder, removed
// with everything in it at the end of the test.
class TScratchFolder {
 public:
  TScratchFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("tzm_cryptlib_") + (info ? info->test_suite_name() : "x") + "_" +
                       (info ? info->name() : "y");
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    Root = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(Root);
    std::filesystem::create_directories(Root / "ABONENTS");
  }
  ~TScratchFolder() {
    std::error_code ec;
    std::filesystem::permissions(Root, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(Root, ec);
  }

  std::filesystem::path Path(const std::string& name) const { return Root / name; }
  std::string Text(const std::string& name) const { return (Root / name).string(); }

  // Keys answers the key set of this folder: self.pub, self.sec, ABONENTS/.
  TKeySet Keys(int32_t keyRequestTimeout = 60, int32_t lastOperationTimeout = 5) const {
    TKeySet keys;
    keys.PublicKeyPath = Text("self.pub");
    keys.SecretKeyPath = Text("self.sec");
    keys.AbonentsDir = Text("ABONENTS") + "/";
    keys.CADir = Text("CA") + "/";
    keys.KeyRequestTimeout = keyRequestTimeout;
    keys.LastOperationTimeout = lastOperationTimeout;
    return keys;
  }

  std::filesystem::path Root;
};

}  // namespace tzm::test

#endif  // TZM_TESTS_CRYPTLIB_TEST_UTIL_H
