// tzcli as a script or an operator meets it before any key exists: the
// manual, command-line mistakes, parameters from profiles, messages, the
// demo and a missing library.
#include <filesystem>

#include "tzcli_runner.h"

namespace tzm::test {
namespace {

const std::string kIvanov = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2 \xD0\x98.\xD0\x98.";  // UTF-8

class TzcliTest : public TTzcliFixture {};

TEST_F(TzcliTest, ManualAndCommandPagesListEveryCommand) {
  const TRun manual = Tzcli({"--help"});
  EXPECT_RUN(manual, 0);
  for (const char* name : {"SYNOPSIS", "PROFILE", "EXIT STATUS", "demo", "keygen", "whoami", "sign", "verify", "encrypt",
                           "decrypt", "hash", "report", "transfer export", "transfer import", "transfer save",
                           "transfer uid", "transfer content", "abonents list", "abonents include", "abonents remove",
                           "abonents update", "regen start", "regen finish", "reset", "error", "selftest", "params"}) {
    EXPECT_TRUE(manual.Has(name)) << name;
  }
  const TRun page = Tzcli({"help", "verify"});
  EXPECT_RUN(page, 0);
  EXPECT_TRUE(page.Has("--attached") && page.Has("--allow-partial"));
  EXPECT_TRUE(Tzcli({"sign", "--help"}).Has("FILE.sig"));
  EXPECT_TRUE(Tzcli({"help", "transfer"}).Has("transfer content"));
}

TEST_F(TzcliTest, CommandLineMistakesExitWithTwoAndSayWhy) {
  struct TCase {
    std::vector<std::string> Args;
    std::string Said;
  } cases[] = {
      {{}, "no command given"},
      {{"frobnicate"}, "no command 'frobnicate'"},
      {{"transfer"}, "no command 'transfer'"},
      {{"transfer", "send"}, "no command 'transfer send'"},
      {{"sign"}, "missing FILE"},
      {{"sign", "a", "b"}, "unexpected argument 'b'"},
      {{"sign", "--bogus", "a"}, "unknown option '--bogus'"},
      {{"encrypt", "a", "--to"}, "option --to needs a value"},
      {{"hash", "a", "--form", "octal"}, "--form is raw, hex or base64"},
      {{"error", "abc"}, "CODE must be an integer"},
      {{"whoami", "--set", "NoSuchParameter=1"}, "no parameter named \"NoSuchParameter\""},
      {{"whoami", "--set", "NoEqualsSign"}, "--set needs \"Name=Value\""},
      {{"whoami", "--profile", "missing.profile"}, "profile: cannot read missing.profile"},
  };
  for (const TCase& c : cases) {
    const TRun run = Tzcli(c.Args);
    EXPECT_RUN(run, 2);
    EXPECT_TRUE(run.Err.find(c.Said) != std::string::npos) << run.Err;
  }
}

TEST_F(TzcliTest, ParametersComeFromProfileThenSetWithKindsAndAllowedValues) {
  // A profile saved by a Windows host is Windows-1251; blanks around '='
  // go, quotes keep inner blanks, comments are skipped.
  Spit(Dir / "cp1251.profile",
       "# saved by the host\r\n"
       "; another comment\r\n"
       "Key gen - UID = \xC8\xE2\xE0\xED\xEE\xE2 \xC8.\xC8.\r\n"
       "Encrypt for UID = \"  padded  \"\r\n"
       "Last operation key time out=7\r\n");
  TRun run = Tzcli({"--json", "--profile", "cp1251.profile", "--set", "Last operation key time out=9", "--set",
                    "11=/keys/new.pub", "params"});
  ASSERT_RUN(run, 0);
  EXPECT_TRUE(run.Has("{\"no\":10,\"name\":\"Key gen - UID\",\"value\":\"" + kIvanov + "\",\"kind\":2"));
  EXPECT_TRUE(run.Has("\"value\":\"  padded  \""));
  EXPECT_TRUE(run.Has("\"name\":\"Last operation key time out\",\"value\":\"9\""));
  EXPECT_TRUE(run.Has("\"value\":\"/keys/new.pub\""));
  EXPECT_TRUE(run.Has("\"name\":\"Key gen - GOST\",\"value\":\"2001\",\"kind\":7,\"kind_name\":\"choice\","
                      "\"allowed\":\"1994 | 2001\""));
  // Without a choice of the profile the tool signs with the GOST digest.
  EXPECT_TRUE(run.Has("\"name\":\"Hash method\",\"value\":\"GOST\""));

  // TZCLI_PROFILE names the profile when --profile is absent; a line
  // without '=' is refused with its number.
  Spit(Dir / "env.profile", "Hash method = OLD_FORMAT\n");
  run = Tzcli({"params"}, "", "TZCLI_PROFILE=env.profile");
  EXPECT_RUN(run, 0);
  EXPECT_TRUE(run.Has("OLD_FORMAT"));
  Spit(Dir / "bad.profile", "CA dir = /ca\nthis line has no equals sign\n");
  run = Tzcli({"--profile", "bad.profile", "params"});
  EXPECT_RUN(run, 2);
  EXPECT_TRUE(run.Has("bad.profile:2: expected \"Name = Value\""));
}

TEST_F(TzcliTest, ResultCodesReadAsMessages) {
  TRun run = Tzcli({"error", "-13"});
  EXPECT_RUN(run, 0);
  EXPECT_TRUE(run.Has("\"Encrypt Method\",\"Key request time out\""));
  run = Tzcli({"--json", "error", "0"});
  EXPECT_EQ(run.Out, "{\"command\":\"error\",\"ok\":true,\"code\":0,\"message\":\"\xD0\x97\xD0\xB0\xD0\xB2\xD0\xB5\xD1"
                     "\x80\xD1\x88\xD0\xB5\xD0\xBD\xD0\xB8\xD0\xB5 \xD0\xB1\xD0\xB5\xD0\xB7 \xD0\xBE\xD1\x88\xD0\xB8"
                     "\xD0\xB1\xD0\xBE\xD0\xBA.\"}\n");
  run = Tzcli({"error", "--all"});
  EXPECT_RUN(run, 0);
  EXPECT_TRUE(run.Has("-32") && run.Has("15 "));
  // A failing operation shows its code and message and exits with 1; with
  // --json the failure is one object on stdout.
  run = Tzcli({"--set", "User PKey/Certificate=" + (Dir / "none.pub").string(), "whoami"});
  EXPECT_RUN(run, 1);
  EXPECT_TRUE(run.Has("tzcli whoami: error -11: "));
  Spit(Dir / "x", "data");
  run = Tzcli({"--json", "--set", "Key request time out=soon", "sign", "x"});
  EXPECT_RUN(run, 1);
  EXPECT_TRUE(run.Out.rfind("{\"command\":\"sign\",\"ok\":false,\"code\":-13,\"message\":\"", 0) == 0) << run.Out;
  run = Tzcli({"--json", "sign", "missing"});
  EXPECT_RUN(run, 1);
  EXPECT_TRUE(run.Out.rfind("{\"command\":\"sign\",\"ok\":false,\"message\":\"cannot read missing", 0) == 0);
}

TEST_F(TzcliTest, DemoRunsEveryStepInAFreshFolder) {
  TRun run = Tzcli({"demo", "demo"});
  ASSERT_RUN(run, 0);
  EXPECT_EQ(run.Out.find("FAIL"), std::string::npos);
  EXPECT_TRUE(run.Has("all 21 steps succeeded"));
  EXPECT_TRUE(run.Has("UID=" + kIvanov));
  EXPECT_TRUE(std::filesystem::exists(Dir / "demo" / "petrov" / "old.pub"));
  // The folder is no longer fresh.
  run = Tzcli({"demo", "demo"});
  EXPECT_RUN(run, 2);
  EXPECT_TRUE(run.Has("is not empty"));
  run = Tzcli({"--json", "demo", "demo2"});
  ASSERT_RUN(run, 0);
  EXPECT_TRUE(run.Out.rfind("{\"command\":\"demo\",\"ok\":true,\"folder\":", 0) == 0);
  EXPECT_TRUE(run.Has("{\"step\":21,\"outcome\":\"ok\""));
}

TEST_F(TzcliTest, ALibraryMissingBesideTheToolIsReported) {
  std::filesystem::copy_file(TZCLI_PATH, Dir / "tzcli");
  const TRun run = RunProgram((Dir / "tzcli").string(), {"whoami"}, "");
  EXPECT_RUN(run, 1);
  EXPECT_TRUE(run.Has("tzcli whoami: cannot load " + (Dir / "libtz_morka.so").string())) << run.Err;
}

}  // namespace
}  // namespace tzm::test
