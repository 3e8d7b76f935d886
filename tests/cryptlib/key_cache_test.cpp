// The public-key cache: loading from the user's file and the Abonents
// folder, lookup ignoring letter case, the size rule, include / remove /
// update with their file names, blob reads and pairwise-key slots.
#include <gtest/gtest.h>

#include <algorithm>

#include "cryptlib_test_util.h"

namespace tzm {
namespace {

using test::Bytes;
using test::PublicImage;
using test::ReadAll;
using test::WriteAll;
namespace R = crypt_result;
namespace fs = std::filesystem;

class KeyCache : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Dll.EntriesResolved);
    WriteAll(Folder.Path("self.pub"), PublicImage("Self", 1, 0x10));
  }

  void Abonent(const std::string& name, const Bytes& image) { WriteAll(Folder.Path("ABONENTS/" + name), image); }

  // Lookup answers the result and the first byte of the key found.
  int32_t Lookup(const std::string& uid, bool exchange, uint8_t* first = nullptr, int32_t* algorithm = nullptr) {
    std::array<uint8_t, 128> out{};
    int32_t alg = -9;
    const int32_t result = Dll.GetPublicKey(uid, exchange, out, alg, Keys);
    if (first) *first = out[0];
    if (algorithm) *algorithm = alg;
    return result;
  }

  Bytes Blob(const std::string& uid, int32_t* result = nullptr) {
    Bytes out(515);
    int32_t len = -1;
    const int32_t r = Dll.GetPublicKeyBlob(uid, out, len, Keys);
    if (result) *result = r;
    out.resize(r == 0 ? static_cast<size_t>(len) : 0);
    return out;
  }

  test::TScratchFolder Folder;
  TKeySet Keys = Folder.Keys();
  TCryptoC_DLL Dll;
};

TEST_F(KeyCache, LookupIgnoresLetterCaseAndFindsFilesEndingInPubBelowTheFolder) {
  Abonent("abc.pub", PublicImage("ABC", 1, 0x20));
  fs::create_directories(Folder.Path("ABONENTS/sub/deeper"));
  Abonent("sub/deeper/KEYPUB", PublicImage("\xC0\xC1\xC2\xA8", 0, 0x30));  // АБВЁ, no dot before "pub"
  Abonent("ignored.pubx", PublicImage("Ignored", 1));

  uint8_t first = 0;
  int32_t algorithm = -1;
  EXPECT_EQ(Lookup("abc", false, &first, &algorithm), 0);
  EXPECT_EQ(first, 0x20);
  EXPECT_EQ(algorithm, 1);
  EXPECT_EQ(Lookup("aBc", true, &first), 0);
  EXPECT_EQ(first, 0x21);
  EXPECT_EQ(Lookup("\xE0\xE1\xE2\xB8", false, &first, &algorithm), 0);  // абвё
  EXPECT_EQ(first, 0x30);
  EXPECT_EQ(algorithm, 0);
  EXPECT_EQ(Lookup("SELF", false, &first), 0);
  EXPECT_EQ(first, 0x10);
  EXPECT_EQ(Lookup("Ignored", false), R::kPublicKeyBad);
  EXPECT_EQ(Lookup("AB", false), R::kPublicKeyBad);
  EXPECT_EQ(Dll.CachedEntryCount(), 3u);
}

TEST_F(KeyCache, EntriesOfTheWrongSizeForTheirAlgorithmAreRefusedOnLookup) {
  Bytes longer = PublicImage("Long", 1);
  longer.push_back(0);
  Abonent("long.pub", longer);
  Bytes wrongAlgorithm = PublicImage("Swapped", 0);
  wrongAlgorithm[8] = 1;  // says 2001 but carries a 1994-sized key
  Abonent("swapped.pub", wrongAlgorithm);
  Abonent("other.pub", PublicImage("Other", 7));
  EXPECT_EQ(Lookup("Long", false), R::kPublicKeyBad);
  EXPECT_EQ(Lookup("Swapped", true), R::kPublicKeyBad);
  // An unknown algorithm has a signing key of no bytes; its exchange key fits.
  int32_t algorithm = 0;
  uint8_t first = 0;
  EXPECT_EQ(Lookup("Other", true, &first, &algorithm), 0);
  EXPECT_EQ(algorithm, 7);
  EXPECT_EQ(first, 0x5B);
  // The blob is handed back as stored, whatever its shape.
  EXPECT_EQ(Blob("long"), longer);
}

TEST_F(KeyCache, AFolderWithBadFilesLoadsWhatItCanAndCountsAsLoaded) {
  Abonent("good.pub", PublicImage("Good", 1));
  Abonent("empty.pub", Bytes{});
  Bytes huge = PublicImage("Huge", 1);
  huge.resize(100000, 0x41);
  Abonent("huge.pub", huge);
  Abonent("noise.pub", Bytes(515, 0xEE));  // no zero anywhere
  std::error_code linkError;
  fs::create_symlink(Folder.Path("ABONENTS/nowhere"), Folder.Path("ABONENTS/dangling.pub"), linkError);

  EXPECT_EQ(Lookup("Good", false), R::kPublicKeyBad);  // the load itself reports the failures
  EXPECT_TRUE(Dll.HasKeyCache());
  EXPECT_EQ(Lookup("Good", false), 0);
  EXPECT_EQ(Lookup("Self", false), 0);
  EXPECT_EQ(Lookup("Huge", false), R::kPublicKeyBad);
  EXPECT_EQ(Lookup("", false), R::kPublicKeyBad);
  EXPECT_EQ(Lookup(std::string(515, '\xEE'), false), R::kPublicKeyBad);
  if (linkError) GTEST_SKIP() << "symbolic links cannot be made here (" << linkError.message()
                              << "): the dangling link was not part of the folder";
}

TEST_F(KeyCache, MissingAbonentsFolderGivesOnlyTheOwnKey) {
  fs::remove_all(Folder.Path("ABONENTS"));
  EXPECT_EQ(Lookup("self", false), 0);
  EXPECT_EQ(Dll.CachedEntryCount(), 1u);
}

TEST_F(KeyCache, IncludeNamesFilesAfterTheUIDOrTheNextFreePkNumber) {
  const Bytes x = PublicImage("X", 1, 0x40);
  ASSERT_EQ(Dll.IncludePublicKey(x, Keys), 0);
  EXPECT_EQ(ReadAll(Folder.Path("ABONENTS/X.pub")), x);
  EXPECT_EQ(Blob("x"), x);

  // Including the same UID again replaces the old file and entry.
  const Bytes x2 = PublicImage("X", 0, 0x50);
  ASSERT_EQ(Dll.IncludePublicKey(x2, Keys), 0);
  EXPECT_EQ(ReadAll(Folder.Path("ABONENTS/X.pub")), x2);
  uint8_t first = 0;
  EXPECT_EQ(Lookup("X", false, &first), 0);
  EXPECT_EQ(first, 0x50);

  // Y.pub exists but belongs to someone else: pk1, then above the largest pk number.
  Abonent("Y.pub", PublicImage("Somebody", 1));
  Dll.ClearKeys();
  const Bytes y = PublicImage("Y", 1, 0x60);
  ASSERT_EQ(Dll.IncludePublicKey(y, Keys), 0);
  EXPECT_EQ(ReadAll(Folder.Path("ABONENTS/pk1.pub")), y);
  Abonent("pk12.pub", PublicImage("Twelve", 1));
  Abonent("Z.pub", PublicImage("Taken", 1));
  const Bytes z = PublicImage("Z", 1, 0x70);
  ASSERT_EQ(Dll.IncludePublicKey(z, Keys), 0);
  EXPECT_EQ(ReadAll(Folder.Path("ABONENTS/pk13.pub")), z);
  EXPECT_EQ(ReadAll(Folder.Path("ABONENTS/Y.pub")), PublicImage("Somebody", 1));
}

TEST_F(KeyCache, IncludeRefusesTheOwnUIDAndUnusableImages) {
  EXPECT_EQ(Dll.IncludePublicKey(PublicImage("Self", 1), Keys), R::kIncludeOwnKey);
  // The cache cannot tell "SELF" from "Self": including it would shadow or
  // delete the user's own public key file.
  EXPECT_EQ(Dll.IncludePublicKey(PublicImage("SELF", 1), Keys), R::kIncludeOwnKey);
  EXPECT_EQ(ReadAll(Folder.Path("self.pub")), PublicImage("Self", 1, 0x10));

  Bytes tooLong = PublicImage("Big", 0);
  tooLong.resize(516, 0);
  EXPECT_EQ(Dll.IncludePublicKey(tooLong, Keys), R::kPublicKeyBad);
  EXPECT_EQ(Dll.IncludePublicKey(Bytes{0, 1, 2}, Keys), R::kPublicKeyBad);
  EXPECT_EQ(Dll.IncludePublicKey(Bytes(300, 'A'), Keys), R::kPublicKeyBad);
  EXPECT_EQ(Dll.IncludePublicKey(Bytes{}, Keys), R::kPublicKeyBad);
  EXPECT_FALSE(fs::exists(Folder.Path("ABONENTS/A.pub")));

  // Without a readable own public key file there is no include.
  fs::remove(Folder.Path("self.pub"));
  EXPECT_EQ(Dll.IncludePublicKey(PublicImage("Q", 1), Keys), R::kPublicKeyBad);
}

TEST_F(KeyCache, IncludeNeverLetsTheUIDChooseAFolder) {
  const Bytes evil = PublicImage("..\\..\\self", 1, 0x77);
  ASSERT_EQ(Dll.IncludePublicKey(evil, Keys), 0);
  EXPECT_EQ(ReadAll(Folder.Path("ABONENTS/pk1.pub")), evil);
  EXPECT_EQ(ReadAll(Folder.Path("self.pub")), PublicImage("Self", 1, 0x10));
  const Bytes slash = PublicImage("a/b", 1, 0x78);
  ASSERT_EQ(Dll.IncludePublicKey(slash, Keys), 0);
  EXPECT_EQ(ReadAll(Folder.Path("ABONENTS/pk2.pub")), slash);
  uint8_t first = 0;
  EXPECT_EQ(Lookup("A/B", false, &first), 0);
  EXPECT_EQ(first, 0x78);
}

TEST_F(KeyCache, RemoveDeletesEveryFileOfTheUIDButNeverTheOwnKey) {
  Abonent("one.pub", PublicImage("Dup", 1, 0x01));
  Abonent("two.pub", PublicImage("DUP", 1, 0x02));
  EXPECT_EQ(Dll.RemovePublicKey("Self", Keys), R::kRemoveOwnKey);
  EXPECT_EQ(Dll.RemovePublicKey("sElF", Keys), R::kRemoveOwnKey);
  EXPECT_TRUE(fs::exists(Folder.Path("self.pub")));
  EXPECT_FALSE(Dll.HasKeyCache());  // refused before anything was loaded

  ASSERT_EQ(Dll.RemovePublicKey("dup", Keys), 0);
  EXPECT_FALSE(fs::exists(Folder.Path("ABONENTS/one.pub")));
  EXPECT_FALSE(fs::exists(Folder.Path("ABONENTS/two.pub")));
  EXPECT_EQ(Lookup("Dup", false), R::kPublicKeyBad);
  EXPECT_EQ(Dll.RemovePublicKey("dup", Keys), R::kPublicKeyBad);
  EXPECT_EQ(Lookup("Self", false), 0);
}

TEST_F(KeyCache, AnEntryWhoseFileVanishedCanBeReplaced) {
  Abonent("w.pub", PublicImage("W", 1, 0x01));
  ASSERT_EQ(Lookup("W", false), 0);
  fs::remove(Folder.Path("ABONENTS/w.pub"));
  const Bytes fresh = PublicImage("W", 1, 0x02);
  ASSERT_EQ(Dll.IncludePublicKey(fresh, Keys), 0);
  EXPECT_EQ(Blob("W"), fresh);
  EXPECT_EQ(Dll.CachedEntryCount(), 2u);
}

TEST_F(KeyCache, UpdateRereadsOneEntryAndForgetsItsPairKey) {
  Abonent("p.pub", PublicImage("Peer", 1, 0x01));
  ASSERT_EQ(Lookup("Peer", false), 0);
  TSecureArray<32> pair;
  pair[0] = 0xAB;
  Dll.StoreCachedPairKey("peer", pair.Span());
  TSecureArray<32> found;
  ASSERT_TRUE(Dll.FindCachedPairKey("PEER", found.Span()));
  EXPECT_EQ(found[0], 0xAB);

  // The file changes on disk: the cache keeps the old one until updated.
  Abonent("p.pub", PublicImage("Peer", 1, 0x02));
  uint8_t first = 0;
  EXPECT_EQ(Lookup("Peer", false, &first), 0);
  EXPECT_EQ(first, 0x01);
  ASSERT_EQ(Dll.UpdatePublicKey("Peer", Keys), 0);
  EXPECT_EQ(Lookup("Peer", false, &first), 0);
  EXPECT_EQ(first, 0x02);
  EXPECT_FALSE(Dll.FindCachedPairKey("Peer", found.Span()));

  // Not cached yet: found under its own name, or by scanning the folder.
  Abonent("Late.pub", PublicImage("Late", 1, 0x03));
  fs::create_directories(Folder.Path("ABONENTS/sub"));
  Abonent("sub/x.pub", PublicImage("Hidden", 1, 0x04));
  ASSERT_EQ(Dll.UpdatePublicKey("Late", Keys), 0);
  ASSERT_EQ(Dll.UpdatePublicKey("Hidden", Keys), 0);
  EXPECT_EQ(Lookup("hidden", false, &first), 0);
  EXPECT_EQ(first, 0x04);
  EXPECT_EQ(Dll.UpdatePublicKey("Nobody", Keys), R::kPublicKeyBad);
}

TEST_F(KeyCache, UpdateWithoutACacheReloadsTheFolder) {
  Abonent("p.pub", PublicImage("Peer", 1));
  ASSERT_EQ(Dll.UpdatePublicKey("peer", Keys), 0);
  EXPECT_EQ(Dll.CachedEntryCount(), 2u);
  Dll.ClearKeys();
  EXPECT_EQ(Dll.UpdatePublicKey("Nobody", Keys), R::kPublicKeyBad);
  Dll.ClearKeys();
  fs::remove_all(Folder.Path("ABONENTS"));
  EXPECT_EQ(Dll.UpdatePublicKey("peer", Keys), R::kPublicKeyBad);
  // An entry whose file vanished falls back to the full reload.
  fs::create_directories(Folder.Path("ABONENTS"));
  Abonent("p.pub", PublicImage("Peer", 1));
  ASSERT_EQ(Lookup("Peer", false), 0);
  fs::rename(Folder.Path("ABONENTS/p.pub"), Folder.Path("ABONENTS/q.pub"));
  ASSERT_EQ(Dll.UpdatePublicKey("Peer", Keys), 0);
  EXPECT_EQ(Dll.CachedEntryCount(), 2u);
}

TEST_F(KeyCache, BlobAndPairKeySlots) {
  int32_t result = 0;
  EXPECT_EQ(Blob("self", &result), PublicImage("Self", 1, 0x10));
  Blob("nobody", &result);
  EXPECT_EQ(result, R::kPublicKeyBad);
  Bytes small(10);
  int32_t len = 99;
  EXPECT_EQ(Dll.GetPublicKeyBlob("Self", small, len, Keys), R::kBadArgument);
  EXPECT_EQ(len, 0);

  TSecureArray<32> first;
  first[0] = 1;
  TSecureArray<32> second;
  second[0] = 2;
  TSecureArray<32> out;
  EXPECT_FALSE(Dll.FindCachedPairKey("Self", out.Span()));
  Dll.StoreCachedPairKey("Self", first.Span());
  Dll.StoreCachedPairKey("Self", second.Span());  // a stored key is not overwritten
  ASSERT_TRUE(Dll.FindCachedPairKey("self", out.Span()));
  EXPECT_EQ(out[0], 1);
  Dll.StoreCachedPairKey("Nobody", second.Span());
  EXPECT_FALSE(Dll.FindCachedPairKey("Nobody", out.Span()));
  Dll.ClearKeys();
  EXPECT_FALSE(Dll.HasKeyCache());
  EXPECT_FALSE(Dll.FindCachedPairKey("Self", out.Span()));
}

}  // namespace
}  // namespace tzm
