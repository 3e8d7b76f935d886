// The tool's own parsers, where a slip would silently change what the
// library is given: profile lines, the command line and text checks.
#include <gtest/gtest.h>

#include "args.h"
#include "profile.h"
#include "text.h"

namespace tzcli {
namespace {

TEST(TzcliProfile, LinesCommentsQuotesAndTheHostsOtherSettings) {
  const TProfile profile = ParseProfile(
      "\xEF\xBB\xBF# comment\n\n  Abonents dir   =  /keys/ab  \r\n; also a comment\nHash method =\n"
      "Encrypt for UID = \" A;B \"\nKey gen - UID = a=b\nroot = rel/dir\nRemote generate path = /rg\n",
      "/etc/p/x.profile");
  ASSERT_EQ(profile.Params.size(), 4u);
  EXPECT_EQ(profile.Params[0].Name, "Abonents dir");
  EXPECT_EQ(profile.Params[0].Value, "/keys/ab");
  EXPECT_EQ(profile.Params[0].Line, 3);
  EXPECT_EQ(profile.Params[1].Value, "");
  EXPECT_EQ(profile.Params[2].Value, " A;B ");
  EXPECT_EQ(profile.Params[3].Value, "a=b");  // split at the first '='
  EXPECT_EQ(profile.Root.value_or(""), "/etc/p/rel/dir");
  EXPECT_EQ(profile.RemoteGeneratePath.value_or(""), "/rg");
  EXPECT_EQ(ParseProfile("Root = C:\\Bank\n", "p").Root.value_or(""), "C:\\Bank");

  // Windows-1251 text is taken for what it is, not as broken UTF-8.
  const TProfile cp1251 = ParseProfile("Key gen - UID = \xCF\xE5\xF2\xF0\xEE\xE2\n", "p");
  EXPECT_EQ(cp1251.Params[0].Value, "\xD0\x9F\xD0\xB5\xD1\x82\xD1\x80\xD0\xBE\xD0\xB2");

  try {
    ParseProfile("CA dir = x\n\nno equals\n", "p.profile");
    FAIL() << "accepted a line without '='";
  } catch (const TUsageError& error) {
    EXPECT_STREQ(error.what(), "p.profile:3: expected \"Name = Value\"");
  }
}

TEST(TzcliArgs, GlobalOptionsAnywhereCommandOptionsStrict) {
  TGlobalSettings settings;
  const std::vector<std::string> rest = SplitGlobalOptions(
      {"sign", "--profile", "p", "file", "--json", "--set=A=1", "--set", "B=2", "--root", "r", "--", "--json"}, settings);
  EXPECT_EQ(rest, (std::vector<std::string>{"sign", "file", "--", "--json"}));
  EXPECT_EQ(settings.ProfilePath.value_or(""), "p");
  EXPECT_EQ(settings.Sets, (std::vector<std::string>{"A=1", "B=2"}));
  EXPECT_EQ(settings.Root.value_or(""), "r");
  EXPECT_TRUE(settings.Json);

  const std::vector<TOptionDef> defs = {{"output", 'o', true}, {"attached", 0, false}};
  TParsedArgs args = ParseCommandArgs({"a", "-o", "x", "--output=y", "--attached", "-15", "-", "--", "--attached"}, defs);
  EXPECT_EQ(args.Positionals, (std::vector<std::string>{"a", "-15", "-", "--attached"}));
  EXPECT_EQ(args.Value("output").value_or(""), "y");
  EXPECT_TRUE(args.Has("attached"));
  EXPECT_THROW(ParseCommandArgs({"--attached=1"}, defs), TUsageError);
  EXPECT_THROW(ParseCommandArgs({"-x"}, defs), TUsageError);
  EXPECT_THROW(ParseCommandArgs({"-o"}, defs), TUsageError);
  EXPECT_THROW(args.AtMost(3), TUsageError);
}

TEST(TzcliText, Utf8CheckIntegersAndJson) {
  EXPECT_TRUE(IsValidUtf8("plain \xD0\x98 \xE2\x84\x96 \xF0\x9F\x98\x80"));
  for (const char* bad : {"\xC8\xE2", "\xD0", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x84"}) {
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
  }
  int32_t value = 0;
  EXPECT_TRUE(ParseInt32("-32", value) && value == -32);
  EXPECT_TRUE(ParseInt32("+5", value) && value == 5);
  for (const char* bad : {"", "+", "5 ", "0x10", "2147483648"}) EXPECT_FALSE(ParseInt32(bad, value)) << bad;
  EXPECT_EQ(JsonQuote("a\"b\\c\n\x01\xD0\x98"), "\"a\\\"b\\\\c\\n\\u0001\xD0\x98\"");
  EXPECT_EQ(ReportLines("UID=\xC8\r\nX\r\n"), "UID=\xD0\x98\nX\n");
  EXPECT_TRUE(EqualsIgnoringCase("\xC8\xE2\xE0\xED", "\xE8\xC2\xC0\xCD"));
}

}  // namespace
}  // namespace tzcli
