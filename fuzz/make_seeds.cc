// Writes the seed corpora of the fuzz targets from valid objects made by the
// library itself: key files, signature blocks, attached signatures, encrypted
// blocks and transfer texts, plus a few damaged variants of each. Signed and
// encrypted seeds carry the self-checking plain text of fuzz_world.h and are
// made with the fixed key pairs in fuzz/keys, which this program creates
// when they are missing (or with --new-keys; the corpora must then be
// written again, since their signatures no longer verify).
//
// Usage: fuzz_make_seeds <fuzz folder> [--new-keys]
#include <cstdio>
#include <cstring>
#include <string>

#include "cryptlib.h"
#include "fuzz_world.h"

namespace {

using tzm::fuzz::Bytes;
namespace fs = std::filesystem;

fs::path gFuzzDir;
int gWritten = 0;

void Seed(const std::string& target, const std::string& name, const Bytes& bytes) {
  const fs::path dir = gFuzzDir / (target + "_corpus");
  fs::create_directories(dir);
  tzm::fuzz::WriteFile(dir / name, bytes);
  ++gWritten;
}

Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

Bytes Le16(size_t v) { return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}; }

bool MakeKeys(bool renew) {
  const fs::path keys = gFuzzDir / "keys";
  fs::create_directories(keys);
  tzm::TCryptoC_DLL binding;
  for (const char* uid : {tzm::fuzz::kUserA, tzm::fuzz::kUserB}) {
    const fs::path pub = keys / (std::string(uid) + ".pub");
    const fs::path sec = keys / (std::string(uid) + ".sec");
    if (!renew && fs::exists(pub) && fs::exists(sec)) continue;
    const int32_t result = binding.GenerateKeyPair(1, uid, pub.string(), sec.string());
    if (result != 0) {
      std::fprintf(stderr, "key generation for %s failed: %d\n", uid, result);
      return false;
    }
  }
  return true;
}

void Base64Seeds() {
  Seed("base64", "abc", Text("YWJj"));
  Seed("base64", "crlf", Text("YW\r\nJj"));
  Seed("base64", "padded_tail", Text("YWI=!!!!"));
  Seed("base64", "unpadded", Text("YWJjZA"));
  Seed("base64", "space", Text("YW Jj"));
  Seed("base64", "long", Text(tzm::Base64Encode(tzm::fuzz::Pattern(1100, 1))));
}

void KeyFileSeeds(tzm::fuzz::TFuzzWorld& world) {
  const auto pair = [](const Bytes& sec, const Bytes& pub) {
    return Concat({Bytes{static_cast<uint8_t>(sec.size())}, sec, pub});
  };
  Seed("key_files", "pair2001", pair(world.A.SecretKey, world.A.PublicKey));
  Seed("key_files", "mismatch", pair(world.A.SecretKey, world.B.PublicKey));
  Bytes badAlgorithm = world.A.SecretKey;
  badAlgorithm[0] = 2;
  Seed("key_files", "secret_algorithm2", pair(badAlgorithm, world.A.PublicKey));
  Bytes shortPub = world.A.PublicKey;
  shortPub.pop_back();
  Seed("key_files", "public_short", pair(world.A.SecretKey, shortPub));

  // A GOST R 34.10-94 pair, made here and kept only in the corpus.
  const fs::path scratch = world.Scratch() / "gen94";
  fs::create_directories(scratch);
  tzm::TCryptoC_DLL binding;
  if (binding.GenerateKeyPair(0, "FUZZ-94", (scratch / "k.pub").string(), (scratch / "k.sec").string()) == 0) {
    Seed("key_files", "pair1994", pair(tzm::fuzz::ReadFile(scratch / "k.sec"), tzm::fuzz::ReadFile(scratch / "k.pub")));
  } else {
    std::fprintf(stderr, "no 1994 key pair\n");
  }
}

void SignatureSeeds(tzm::fuzz::TFuzzWorld& world) {
  int made = 0;
  for (const size_t len : {1u, 100u, 700u}) {
    for (int signer = 0; signer < 2; ++signer) {
      const tzm::fuzz::TFuzzUser& user = signer == 0 ? world.A : world.B;
      const Bytes data = tzm::fuzz::Pattern(len, static_cast<uint8_t>(len + signer));
      Bytes block(319);
      int32_t blockLen = static_cast<int32_t>(block.size());
      char uid[256] = {0};
      std::strcpy(uid, user.UID.c_str());
      const int32_t result = SignData(user.Engine, data.data(), static_cast<int32_t>(data.size()), block.data(), &blockLen, uid);
      if (result != 0) {
        std::fprintf(stderr, "SignData failed: %d\n", result);
        return;
      }
      block.resize(static_cast<size_t>(blockLen));
      // Verified by the other user (flag bit 0 picks B).
      const uint8_t flags = signer == 0 ? 1 : 0;
      const std::string name = "sig_" + std::to_string(len) + "_" + user.UID;
      Seed("signature_block", name, Concat({Bytes{flags}, Le16(block.size()), block, data}));

      Bytes attached = data;
      attached.resize(data.size() + 323);
      int32_t attachedLen = static_cast<int32_t>(data.size());
      if (AddSign(user.Engine, attached.data(), &attachedLen, nullptr) == 0) {
        attached.resize(static_cast<size_t>(attachedLen));
        Seed("signature_block", "attached_" + std::to_string(len) + "_" + user.UID,
             Concat({Bytes{static_cast<uint8_t>(flags | 2)}, attached}));
      }
      ++made;
    }
  }
  Seed("signature_block", "short_value", Concat({Bytes{0}, Le16(10), Text("FUZZ-B"), Bytes{0, 1, 2, 3}, Text("data")}));
  std::printf("signature seeds: %d signed\n", made);
}

void EncryptedSeeds(tzm::fuzz::TFuzzWorld& world) {
  struct TCase {
    const char* List;
    const char* Mode;
    bool ReadAsB;
  };
  const TCase cases[] = {{"FUZZ-B", "0", true}, {"FUZZ-B", "1", true}, {"FUZZ-A;FUZZ-B", "1", false}};
  int index = 0;
  for (const TCase& c : cases) {
    const Bytes plain = tzm::fuzz::Pattern(40 + 30 * index, static_cast<uint8_t>(index));
    Bytes work(plain);
    work.resize(plain.size() + 30579);
    int32_t len = static_cast<int32_t>(plain.size());
    SetCryptoParamValue(world.A.Engine, 5, c.Mode);
    const int32_t result = EncodeData(world.A.Engine, work.data(), &len, c.List);
    if (result != 0) {
      std::fprintf(stderr, "EncodeData failed: %d\n", result);
      return;
    }
    work.resize(static_cast<size_t>(len));
    Seed("encrypted_block", "block_" + std::to_string(index), Concat({Bytes{static_cast<uint8_t>(c.ReadAsB ? 1 : 0)}, work}));
    ++index;
  }
  Seed("encrypted_block", "roundtrip_0", Concat({Bytes{2, 0, 9, 0, 1}, tzm::fuzz::Pattern(33, 9)}));
  Seed("encrypted_block", "roundtrip_1", Concat({Bytes{7, 1, 40, 0, 0x80}, tzm::fuzz::Pattern(80, 10)}));
}

void TransferSeeds(tzm::fuzz::TFuzzWorld& world) {
  std::vector<char> text(2200, 0);
  int32_t result = ExcludeSelfPublicKeyTransfer(world.A.Engine, text.data());
  if (result != 0) {
    std::fprintf(stderr, "ExcludeSelfPublicKeyTransfer failed: %d\n", result);
    return;
  }
  const std::string self(text.data());
  Seed("transfer", "self_A", Text(self));
  std::string broken = self;
  for (size_t at = 76; at < broken.size(); at += 78) broken.insert(at, "\r\n");
  Seed("transfer", "self_A_crlf", Text(broken));

  if (GetPublicKeyTransfer(world.B.Engine, tzm::fuzz::kUserA, text.data()) == 0) {
    Seed("transfer", "A_by_B", Text(text.data()));
  }
  const fs::path keyFile = world.Scratch() / "pattern.pub";
  tzm::fuzz::WriteFile(keyFile, tzm::fuzz::Pattern(515, 3));
  if (GetPublicKeyTransferByFile(world.B.Engine, text.data(), keyFile.string().c_str()) == 0) {
    Seed("transfer", "pattern_515_by_B", Text(text.data()));
  }
  Seed("transfer", "short", Text(self.substr(0, self.size() - 4)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <fuzz folder> [--new-keys]\n", argv[0]);
    return 2;
  }
  gFuzzDir = argv[1];
  const bool renew = argc > 2 && std::strcmp(argv[2], "--new-keys") == 0;
  if (!MakeKeys(renew)) return 1;
  tzm::fuzz::TFuzzWorld& world = tzm::fuzz::TFuzzWorld::Get();
  Base64Seeds();
  KeyFileSeeds(world);
  SignatureSeeds(world);
  EncryptedSeeds(world);
  TransferSeeds(world);
  std::printf("%d seeds written under %s\n", gWritten, gFuzzDir.string().c_str());
  return 0;
}
