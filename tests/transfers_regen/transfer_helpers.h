// Helpers of the transfer and remote-generation tests: transfer texts from
// and to the exports, and the files of a folder.
#ifndef TZM_TESTS_TRANSFERS_REGEN_TRANSFER_HELPERS_H
#define TZM_TESTS_TRANSFERS_REGEN_TRANSFER_HELPERS_H

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support.h"
#include "test_users.h"

namespace tzm::test {

inline constexpr int32_t kTransferRoom = 2198 + 1;

// TTransferFixture adds transfer helpers to the users fixture.
class TTransferFixture : public TTestUsersFixture {
 protected:
  // SelfTransfer answers the transfer of the user's own key ("" on failure).
  static std::string SelfTransfer(const TTestUser& user) {
    std::vector<char> text(kTransferRoom + 16, '\x7F');
    const int32_t result = Host().ExcludeSelfPublicKeyTransfer(user.Engine, text.data());
    EXPECT_EQ(result, 0) << ErrorText(user, result);
    return result == 0 ? std::string(text.data()) : std::string();
  }

  // SignedTransferOf builds, with the user's AddSign, a transfer around any
  // payload bytes: the way another party could sign a block of its own making.
  static std::string SignedTransferOf(const TTestUser& signer, std::vector<uint8_t> payload) {
    int32_t len = static_cast<int32_t>(payload.size());
    payload.resize(payload.size() + 400);
    EXPECT_EQ(Host().AddSign(signer.Engine, payload.data(), &len, nullptr), 0);
    payload.resize(static_cast<size_t>(len));
    return Base64Encode(payload);
  }

  // BlockBytes is a 776-byte transfer block carrying key under KeyLength keyLength.
  static std::vector<uint8_t> BlockBytes(const std::vector<uint8_t>& key, int32_t keyLength,
                                         const std::string& name = "tran.pub") {
    std::vector<uint8_t> block(776, 0);
    std::copy(name.begin(), name.end(), block.begin());
    EncodeFixed32(block.data() + 256, static_cast<uint32_t>(keyLength));
    std::copy_n(key.begin(), std::min<size_t>(key.size(), 516), block.begin() + 260);
    return block;
  }

  static std::set<std::string> FileNames(const std::filesystem::path& dir) {
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ignored)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  // FindFileWithBytes answers the file below dir that holds exactly bytes.
  static std::filesystem::path FindFileWithBytes(const std::filesystem::path& dir, const std::vector<uint8_t>& bytes) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir, ignored)) {
      if (entry.is_regular_file() && ReadFileBytes(entry.path()) == bytes) return entry.path();
    }
    return {};
  }
};

}  // namespace tzm::test

#endif  // TZM_TESTS_TRANSFERS_REGEN_TRANSFER_HELPERS_H
