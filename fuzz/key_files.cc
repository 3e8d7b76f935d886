// Fuzzes everything that reads key files: loading the user's secret and
// public key files into a binding, filling the public-key cache from the
// Abonents folder, including a key image, and the key report. Each result is
// checked against a model of the file layouts; a loaded key must hand out
// exactly the bytes of the file, a cached or included key exactly the bytes
// of its image, and a report must parse back to the key bytes it shows.
//
// Input: byte 0 selects the secret key file length (0..255), the next bytes
// are that secret key file and the rest is the public key file.
#include <algorithm>
#include <cstring>
#include <string>

#include "cryptlib.h"
#include "fuzz_world.h"
#include "key_report.h"

namespace {

using tzm::fuzz::Bytes;
namespace fs = std::filesystem;

constexpr size_t kMaxUID = 254;

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// THead is the model's reading of a public key file head.
struct THead {
  bool UIDOk = false;  // terminated, 1..254 characters
  std::string UID;
  bool HasAlgorithm = false;
  int32_t Algorithm = -1;
};

THead ParseHead(const Bytes& file) {
  THead head;
  const auto zero = std::find(file.begin(), file.end(), uint8_t{0});
  if (zero == file.end()) return head;
  const size_t uidLen = static_cast<size_t>(zero - file.begin());
  if (uidLen == 0 || uidLen > kMaxUID) return head;
  head.UIDOk = true;
  head.UID.assign(file.begin(), zero);
  if (file.size() >= uidLen + 5) {
    head.HasAlgorithm = true;
    head.Algorithm = static_cast<int32_t>(Le32(file.data() + uidLen + 1));
  }
  return head;
}

size_t SigningLen(int32_t algorithm) { return algorithm == 0 ? 128 : algorithm == 1 ? 100 : 0; }

// ExpectedLoad is the result of loading the secret key from the two files.
int32_t ExpectedLoad(const Bytes& sec, const Bytes& pub) {
  if (sec.size() != 164) return -10;
  const int32_t algorithm = static_cast<int32_t>(Le32(sec.data()));
  if (algorithm != 0 && algorithm != 1) return -10;
  if (pub.size() > 515) return -11;
  const THead head = ParseHead(pub);
  if (!head.UIDOk || !head.HasAlgorithm) return -11;
  if (head.Algorithm != algorithm) return -12;
  if (pub.size() != head.UID.size() + 5 + SigningLen(algorithm) + 128) return -11;
  return 0;
}

// HexToBytes reads the hex dump of a report section, skipping blanks and
// line breaks.
bool HexToBytes(std::string_view text, Bytes& out) {
  out.clear();
  int high = -1;
  for (const char c : text) {
    if (c == ' ' || c == '\r' || c == '\n') continue;
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    if (v < 0) return false;
    if (high < 0) {
      high = v;
    } else {
      out.push_back(static_cast<uint8_t>(high * 16 + v));
      high = -1;
    }
  }
  return high < 0;
}

// CheckReport parses a report back and compares it with the image.
void CheckReport(const Bytes& image, const THead& head, const std::string& text) {
  const size_t signingLen = SigningLen(head.Algorithm);
  const size_t shownLen = head.Algorithm == 0 ? 128 : 64;
  const std::string start = "UID=" + head.UID + "\r\nPKeyAlg=";
  FUZZ_CHECK(text.compare(0, start.size(), start) == 0, "report starts with the UID");
  const size_t sp = text.find("\r\nSPKey=\r\n", start.size());
  const size_t ep = text.find("\r\n\r\nEPKey=\r\n", sp == std::string::npos ? 0 : sp);
  FUZZ_CHECK(sp != std::string::npos && ep != std::string::npos, "report has both key sections");
  const size_t spBegin = sp + 10;
  const size_t epBegin = ep + 12;
  FUZZ_CHECK(text.size() >= epBegin + 4 && text.compare(text.size() - 4, 4, "\r\n\r\n") == 0, "report ends in CR LF CR LF");
  Bytes signing;
  Bytes exchange;
  FUZZ_CHECK(HexToBytes(std::string_view(text).substr(spBegin, ep - spBegin), signing), "signing key dump is hex");
  FUZZ_CHECK(HexToBytes(std::string_view(text).substr(epBegin, text.size() - 4 - epBegin), exchange),
             "exchange key dump is hex");
  const uint8_t* keys = image.data() + head.UID.size() + 5;
  FUZZ_CHECK(signing.size() == shownLen && std::memcmp(signing.data(), keys, shownLen) == 0,
             "report shows the signing key");
  FUZZ_CHECK(exchange.size() == 128 && std::memcmp(exchange.data(), keys + signingLen, 128) == 0,
             "report shows the exchange key");
}

tzm::TCryptoC_DLL& Binding() {
  static tzm::TCryptoC_DLL binding;
  return binding;
}

void CheckLoading(const fs::path& dir, const Bytes& sec, const Bytes& pub) {
  tzm::TCryptoC_DLL& dll = Binding();
  tzm::TKeySet keys;
  keys.PublicKeyPath = (dir / "self.pub").string();
  keys.SecretKeyPath = (dir / "self.sec").string();
  keys.AbonentsDir = (dir / "abonents").string() + "/";
  keys.CADir = (dir / "ca").string() + "/";
  dll.ClearKeys();

  const int32_t expected = ExpectedLoad(sec, pub);
  int32_t algorithm = -1;
  tzm::TSecureArray<32> signingKey;
  const int32_t signing = dll.GetSigningKey(keys, algorithm, signingKey.Span());
  FUZZ_CHECK(signing == expected, "GetSigningKey follows the key file rules");
  FUZZ_CHECK(dll.HasLoadedKey() == (signing == 0), "a failed load leaves no key");
  if (signing == 0) {
    FUZZ_CHECK(algorithm == static_cast<int32_t>(Le32(sec.data())), "algorithm of the file");
    FUZZ_CHECK(std::memcmp(signingKey.data(), sec.data() + 4, 32) == 0, "unmasked key equals the file's");
    tzm::TSecureArray<128> exchangeKey;
    FUZZ_CHECK(dll.GetExchangeKey(keys, exchangeKey.Span()) == 0, "exchange key of a loaded pair");
    FUZZ_CHECK(std::memcmp(exchangeKey.data(), sec.data() + 36, 128) == 0, "exchange key equals the file's");
  }

  // The UID comes from the loaded key or, without one, from the file head.
  std::string uid;
  const int32_t uidResult = dll.GetUserUID(keys.PublicKeyPath, keys.SecretKeyPath, uid);
  const THead head = ParseHead(pub);
  if (signing == 0 || (pub.size() <= 515 && head.UIDOk)) {
    FUZZ_CHECK(uidResult == 0 && uid == head.UID, "UID of the public key file");
  } else if (pub.size() > 515 || !head.UIDOk) {
    FUZZ_CHECK(uidResult == -11, "unusable public key file gives -11");
  }

  // The cache: the file is the user's own key and also lies in Abonents.
  if (head.UIDOk) {
    dll.ClearKeys();
    std::array<uint8_t, 128> out{};
    int32_t cachedAlgorithm = -1;
    const int32_t found = dll.GetPublicKey(head.UID, false, out, cachedAlgorithm, keys);
    const bool usable = pub.size() <= 515 && head.HasAlgorithm &&
                        pub.size() == head.UID.size() + 5 + SigningLen(head.Algorithm) + 128;
    FUZZ_CHECK((found == 0) == usable, "cache lookup follows the size rule");
    if (found == 0) {
      FUZZ_CHECK(cachedAlgorithm == head.Algorithm, "cached algorithm");
      FUZZ_CHECK(std::memcmp(out.data(), pub.data() + head.UID.size() + 5, SigningLen(head.Algorithm)) == 0,
                 "cached signing key equals the file's");
      FUZZ_CHECK(dll.GetPublicKey(head.UID, true, out, cachedAlgorithm, keys) == 0, "exchange key of a usable entry");
      FUZZ_CHECK(std::memcmp(out.data(), pub.data() + head.UID.size() + 5 + SigningLen(head.Algorithm), 128) == 0,
                 "cached exchange key equals the file's");
    }
  }
  dll.ClearKeys();
}

void CheckInclude(const Bytes& pub) {
  tzm::fuzz::TFuzzWorld& world = tzm::fuzz::TFuzzWorld::Get();
  const fs::path dir = world.Scratch() / "include";
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  fs::create_directories(dir / "abonents");
  tzm::fuzz::WriteFile(dir / "self.pub", world.A.PublicKey);
  tzm::fuzz::WriteFile(dir / "self.sec", world.A.SecretKey);
  tzm::fuzz::WriteFile(dir / "abonents" / "FUZZ-B.pub", world.B.PublicKey);
  tzm::TKeySet keys;
  keys.PublicKeyPath = (dir / "self.pub").string();
  keys.SecretKeyPath = (dir / "self.sec").string();
  keys.AbonentsDir = (dir / "abonents").string() + "/";
  keys.CADir = (dir / "ca").string() + "/";

  tzm::TCryptoC_DLL& dll = Binding();
  dll.ClearKeys();
  const THead head = ParseHead(pub);
  const int32_t included = dll.IncludePublicKey(pub, keys);
  if (pub.size() > 515 || !head.UIDOk) {
    FUZZ_CHECK(included == -11, "unusable image gives -11");
  } else if (head.UID == tzm::fuzz::kUserA) {
    FUZZ_CHECK(included == -20, "own UID gives -20");
  } else {
    if (included != 0) std::fprintf(stderr, "IncludePublicKey: %d\n", included);
    FUZZ_CHECK(included == 0, "a usable image is included");
    std::array<uint8_t, 515> blob{};
    int32_t blobLen = 0;
    FUZZ_CHECK(dll.GetPublicKeyBlob(head.UID, blob, blobLen, keys) == 0, "included key is cached");
    FUZZ_CHECK(static_cast<size_t>(blobLen) == pub.size() && std::memcmp(blob.data(), pub.data(), pub.size()) == 0,
               "cached image equals the included one");
  }
  // Whatever the UID says, nothing is written outside the Abonents folder.
  size_t outside = 0;
  for (const auto& entry : fs::recursive_directory_iterator(world.Scratch())) {
    const std::string path = entry.path().string();
    if (entry.is_regular_file() && path.find("/include/abonents/") == std::string::npos) ++outside;
  }
  FUZZ_CHECK(tzm::fuzz::ReadFile(dir / "self.pub") == world.A.PublicKey, "own public key file untouched");
  FUZZ_CHECK(tzm::fuzz::ReadFile(dir / "self.sec") == world.A.SecretKey, "own secret key file untouched");
  // include/self.pub, include/self.sec and the three files of the load step.
  FUZZ_CHECK(outside == 5, "no file outside Abonents");
  dll.ClearKeys();
}

void CheckReports(const fs::path& dir, const Bytes& pub) {
  const THead head = ParseHead(pub);
  std::string text;
  const int32_t composed = tzm::ComposeKeyReport(pub, text);
  const bool usable = head.UIDOk && head.HasAlgorithm && (head.Algorithm == 0 || head.Algorithm == 1) &&
                      pub.size() >= head.UID.size() + 5 + SigningLen(head.Algorithm) + 128;
  FUZZ_CHECK((composed == 0) == usable, "report only of a usable image");
  if (composed == 0) CheckReport(pub, head, text);

  // The same through the export that reads a key file.
  std::vector<char> report(2048, '\x7f');
  const int32_t byFile =
      GetPublicKeyPropertiesByFile(tzm::fuzz::TFuzzWorld::Get().A.Engine, (dir / "self.pub").string().c_str(), report.data());
  if (pub.size() > 515) {
    FUZZ_CHECK(byFile == -19, "key file over 515 bytes gives -19");
  } else if (composed != 0) {
    FUZZ_CHECK(byFile == composed, "file report agrees with the image report");
  } else if (text.size() < 2048) {
    FUZZ_CHECK(byFile == 0 && text == report.data(), "file report text");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 1024) return 0;
  const size_t secLen = std::min<size_t>(data[0], size - 1);
  const Bytes sec(data + 1, data + 1 + secLen);
  const Bytes pub(data + 1 + secLen, data + size);

  tzm::fuzz::TFuzzWorld& world = tzm::fuzz::TFuzzWorld::Get();
  const fs::path dir = world.Scratch() / "load";
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  fs::create_directories(dir / "abonents");
  tzm::fuzz::WriteFile(dir / "self.sec", sec);
  tzm::fuzz::WriteFile(dir / "self.pub", pub);
  tzm::fuzz::WriteFile(dir / "abonents" / "fuzzed.pub", pub);

  CheckLoading(dir, sec, pub);
  CheckReports(dir, pub);
  CheckInclude(pub);
  return 0;
}
