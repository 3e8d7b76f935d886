// The transfer block and the in-process helpers of remote generation: a block
// from another party is refused whole when its lengths do not fit, and the
// plain secret key file is overwritten where it lies before it is removed.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "remote_gen.h"
#include "support.h"
#include "transfer_block.h"

namespace tzm {
namespace {

std::vector<uint8_t> EncodedBlock(std::string_view name, size_t keyLen) {
  std::vector<uint8_t> key(keyLen);
  for (size_t i = 0; i < keyLen; ++i) key[i] = static_cast<uint8_t>(i * 7 + 1);
  TPublicKeyBlock block;
  EXPECT_TRUE(block.Fill(name, key));
  std::vector<uint8_t> bytes(kPublicKeyBlockLen);
  block.Encode(std::span<uint8_t, kPublicKeyBlockLen>(bytes.data(), kPublicKeyBlockLen));
  return bytes;
}

TEST(TransferBlock, LayoutAndRoundTrip) {
  const std::vector<uint8_t> bytes = EncodedBlock("tran.pub", 515);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), "tran.pub");
  EXPECT_EQ(DecodeFixed32(bytes.data() + 256), 515u);
  EXPECT_EQ(bytes[260], 1);

  TPublicKeyBlock block;
  ASSERT_TRUE(block.Decode(bytes));
  EXPECT_EQ(block.KeyLength, 515);
  EXPECT_TRUE(std::equal(block.Key().begin(), block.Key().end(), bytes.begin() + 260));
  EXPECT_EQ(block.FileNameText(), "tran.pub");

  // A longer payload is read for its first 776 bytes only.
  std::vector<uint8_t> longer = bytes;
  longer.resize(900, 0xEE);
  EXPECT_TRUE(block.Decode(longer));

  // A name longer than the field is cut to 255 characters and terminated.
  TPublicKeyBlock named;
  ASSERT_TRUE(named.Fill(std::string(300, 'n'), {}));
  EXPECT_EQ(named.FileNameText(), std::string(255, 'n'));
  EXPECT_FALSE(named.Fill("x", std::vector<uint8_t>(516)));
}

TEST(TransferBlock, RefusesLengthsThatDoNotFit) {
  std::vector<uint8_t> bytes = EncodedBlock("tran.pub", 10);
  TPublicKeyBlock block;
  EXPECT_FALSE(block.Decode(std::span<const uint8_t>(bytes.data(), kPublicKeyBlockLen - 1)));
  EXPECT_FALSE(block.Decode({}));
  for (const uint32_t badLength : {516u, 0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu}) {
    EncodeFixed32(bytes.data() + 256, badLength);
    EXPECT_FALSE(block.Decode(bytes)) << badLength;
  }
  EncodeFixed32(bytes.data() + 256, 0);
  ASSERT_TRUE(block.Decode(bytes));
  EXPECT_TRUE(block.Key().empty());
  EXPECT_EQ(block.KeyUID(), "");
}

TEST(TransferBlock, UIDAndNameStayInsideTheBlock) {
  // Key bytes without a zero: the UID ends at KeyLength; a name without a
  // zero ends at the field's end.
  std::vector<uint8_t> bytes(kPublicKeyBlockLen, 'A');
  EncodeFixed32(bytes.data() + 256, 5);
  TPublicKeyBlock block;
  ASSERT_TRUE(block.Decode(bytes));
  EXPECT_EQ(block.KeyUID(), "AAAAA");
  EXPECT_EQ(block.FileNameText(), std::string(256, 'A'));
}

TEST(RemoteGenHelpers, DatedUIDReplacesAnEarlierSuffix) {
  platform::TLocalDateTime when;
  when.Year = 2026, when.Month = 12, when.Day = 6, when.Hour = 22, when.Minute = 21, when.Second = 54;
  EXPECT_EQ(DatedUID("User1", when), "User1 (06-12-2026 22-21-54)");
  EXPECT_EQ(DatedUID("User1 (01-02-2020 10-11-12)", when), "User1 (06-12-2026 22-21-54)");
  when.Month = 1, when.Day = 2, when.Hour = 3, when.Minute = 4, when.Second = 5;
  EXPECT_EQ(DatedUID("A", when), "A (02-01-2026 03-04-05)");
}

TEST(RemoteGenHelpers, PlainSecretIsOverwrittenInPlaceBeforeRemoval) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("tzm_discard_" + std::to_string(platform::CurrentThreadId()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path secret = dir / "new.sec";
  const fs::path alias = dir / "alias";
  {
    std::ofstream out(secret, std::ios::binary);
    out << std::string(164, '\x5A');
  }
  // A second name for the same file shows what happened to its bytes.
  fs::create_hard_link(secret, alias);

  EXPECT_TRUE(DiscardPlainSecret(secret.string()));
  EXPECT_FALSE(fs::exists(secret));
  {
    // Closed before the folder goes: Windows refuses to delete an open file.
    std::ifstream in(alias, std::ios::binary);
    const std::string left((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(left, std::string(164, '\0'));
  }
  EXPECT_TRUE(DiscardPlainSecret((dir / "absent").string()));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tzm
