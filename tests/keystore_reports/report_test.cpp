// Key reports through the exports: by key file, by cached UID and for the key
// pair waiting in the remote-regeneration folder, compared byte for byte with
// texts built in the test from the key files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "expected_report.h"
#include "test_users.h"

namespace tzm::test {
namespace {

constexpr int32_t kReportRoom = 2048;

class ReportTest : public TTestUsersFixture {
 protected:
  // ReportByFile answers the result of GetPublicKeyPropertiesByFile and,
  // in |text|, what it wrote (the buffer starts filled with '#').
  int32_t ReportByFile(const TTestUser& user, const std::filesystem::path& file, std::string& text) {
    std::vector<char> buffer(kReportRoom, '#');
    const int32_t result = Host().GetPublicKeyPropertiesByFile(user.Engine, file.string().c_str(), buffer.data());
    text.assign(buffer.data(), buffer.size());
    if (result == 0) text = std::string(buffer.data());
    return result;
  }

  static bool Untouched(const std::string& text) { return text == std::string(kReportRoom, '#'); }
};

TEST_F(ReportTest, ReportOfKeyFileMatchesTextBuiltFromTheFile) {
  const TTestUser& user94 = AddUser("User1", kAlgorithm94);
  const TTestUser& user01 = AddUser("Correspondent-2001", kAlgorithm2001);

  const std::vector<uint8_t> file94 = ReadFileBytes(user94.PublicKeyPath);
  const std::vector<uint8_t> file01 = ReadFileBytes(user01.PublicKeyPath);
  ASSERT_EQ(file94.size(), 5u + 261u);
  ASSERT_EQ(file01.size(), 18u + 233u);

  std::string text;
  ASSERT_EQ(ReportByFile(user94, user94.PublicKeyPath, text), 0);
  EXPECT_EQ(text, ExpectedReport(file94));
  EXPECT_EQ(text.size(), 5u + 726u);
  const std::string head = std::string("UID=User1\r\nPKeyAlg=\xC3\xCE\xD1\xD2 P34.10 - 1994\r\nSPKey=\r\n");
  EXPECT_EQ(text.substr(0, head.size()), head);
  // Each dump ends with one four-digit group and its blank, then CR LF CR LF.
  EXPECT_EQ(text.substr(text.size() - 9, 9).find(" \r\n\r\n"), 4u);

  // The report of the 2001 key, read by another engine: 64 signing key bytes
  // and the exchange key 100 bytes after the algorithm code.
  ASSERT_EQ(ReportByFile(user94, user01.PublicKeyPath, text), 0);
  EXPECT_EQ(text, ExpectedReport(file01));
  EXPECT_EQ(text.size(), 18u + 558u);
  EXPECT_NE(text.find(HexDump(file01.data() + 18 + 1 + 4 + 100, 128)), std::string::npos);
}

TEST_F(ReportTest, ReportOfCachedCorrespondentEqualsReportOfItsFile) {
  const TTestUser& self = AddUser("Self", kAlgorithm2001);
  const TTestUser& other = AddUser("Other", kAlgorithm94);
  GiveKeyTo(other, self);

  std::vector<char> report(kReportRoom, 0);
  ASSERT_EQ(Host().GetReport(self.Engine, "Other", report.data()), 0);
  EXPECT_EQ(std::string(report.data()), ExpectedReport(ReadFileBytes(other.PublicKeyPath)));
  // Cache lookup ignores letter case; GetPublicKeyProperties is the same operation.
  std::vector<char> properties(kReportRoom, 0);
  ASSERT_EQ(Host().GetPublicKeyProperties(self.Engine, "OTHER", properties.data()), 0);
  EXPECT_EQ(std::string(properties.data()), std::string(report.data()));

  std::vector<char> untouched(kReportRoom, '#');
  EXPECT_EQ(Host().GetReport(self.Engine, "Nobody", untouched.data()), -11);
  EXPECT_EQ(untouched, std::vector<char>(kReportRoom, '#'));

  EXPECT_EQ(Host().GetMaxReportSize(self.Engine), 2048);
  EXPECT_EQ(Host().GetMaxPublicKeyPropertiesLength(self.Engine), 2048);
}

TEST_F(ReportTest, UnusableKeyFilesAreRefusedAndLeaveTheBufferAlone) {
  const TTestUser& user = AddUser("User1", kAlgorithm2001);
  const std::vector<uint8_t> good = ReadFileBytes(user.PublicKeyPath);
  std::string text;

  std::vector<uint8_t> bytes = good;
  bytes[6] = 2;  // algorithm code 2 (after "User1" and its zero)
  WriteFileBytes(Root / "alg2.pub", bytes);
  EXPECT_EQ(ReportByFile(user, Root / "alg2.pub", text), -11);
  EXPECT_TRUE(Untouched(text));

  bytes = good;
  bytes[0] = 0;  // empty UID
  WriteFileBytes(Root / "empty_uid.pub", bytes);
  EXPECT_EQ(ReportByFile(user, Root / "empty_uid.pub", text), -11);

  // A file cut inside the exchange key would otherwise be reported with
  // bytes that are not in it.
  bytes = good;
  bytes.resize(good.size() - 1);
  WriteFileBytes(Root / "short.pub", bytes);
  EXPECT_EQ(ReportByFile(user, Root / "short.pub", text), -11);
  EXPECT_TRUE(Untouched(text));

  // No zero within the file at all.
  WriteFileBytes(Root / "text.pub", std::vector<uint8_t>(300, 'A'));
  EXPECT_EQ(ReportByFile(user, Root / "text.pub", text), -11);

  // Longer than the largest public key file, or missing: cannot be read.
  bytes = good;
  bytes.resize(516, 0);
  WriteFileBytes(Root / "long.pub", bytes);
  EXPECT_EQ(ReportByFile(user, Root / "long.pub", text), -19);
  EXPECT_TRUE(std::filesystem::exists(Root / "long.pub"));
  EXPECT_EQ(ReportByFile(user, Root / "missing.pub", text), -19);
  EXPECT_TRUE(Untouched(text));

  // Extra bytes after the exchange key do not change the report.
  bytes = good;
  bytes.push_back(0x55);
  WriteFileBytes(Root / "tail.pub", bytes);
  ASSERT_EQ(ReportByFile(user, Root / "tail.pub", text), 0);
  EXPECT_EQ(text, ExpectedReport(good));
}

TEST_F(ReportTest, PendingRegeneratedKeyReport) {
  TTestUser& user = AddUser("User1", kAlgorithm2001);
  const TTestUser& fresh = AddUser("User1-new", kAlgorithm94);
  std::vector<char> report(kReportRoom, 0);

  // No "RG<UID>" folder next to the secret key and no regeneration path.
  EXPECT_EQ(Host().GetReport(user.Engine, "", report.data()), -22);
  EXPECT_EQ(Host().GetReport(user.Engine, nullptr, report.data()), -22);

  const std::filesystem::path genDir = Root / "regen";
  std::filesystem::create_directories(genDir);
  Host().SetRemoteGeneratePath(user.Engine, (genDir.string() + "/").c_str());
  EXPECT_EQ(Host().GetReport(user.Engine, "", report.data()), -23);

  WriteFileBytes(genDir / "new.pub", ReadFileBytes(fresh.PublicKeyPath));
  ASSERT_EQ(Host().GetReport(user.Engine, "", report.data()), 0);
  EXPECT_EQ(std::string(report.data()), ExpectedReport(ReadFileBytes(fresh.PublicKeyPath)));

  // The folder "RG" + UID beside the secret key file takes precedence.
  const std::filesystem::path ownGenDir = user.Folder / "RGUser1";
  std::filesystem::create_directories(ownGenDir);
  EXPECT_EQ(Host().GetReport(user.Engine, "", report.data()), -23);
  WriteFileBytes(ownGenDir / "new.pub", ReadFileBytes(user.PublicKeyPath));
  ASSERT_EQ(Host().GetReport(user.Engine, "", report.data()), 0);
  EXPECT_EQ(std::string(report.data()), ExpectedReport(ReadFileBytes(user.PublicKeyPath)));
}

}  // namespace
}  // namespace tzm::test
