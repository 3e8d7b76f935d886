// Fuzzes every operation that receives a public key transfer text, through
// the exports of an in-process engine: reading the UID, exporting the key
// bytes, the key report, saving the key file, including the key and the
// check of a remote generation's transfer. The model: all of them accept or
// refuse a text alike, with the same code; an accepted text carries a key
// file the seeds signed; what each operation returns or writes is exactly
// those key bytes. The block inside must also decode, encode and decode
// again to the same value.
//
// Input: the transfer text (cut at its first zero byte, as the host's text).
#include <cstring>
#include <string>

#include "fuzz_world.h"
#include "key_report.h"
#include "support.h"
#include "transfer_block.h"

namespace {

using tzm::fuzz::Bytes;
namespace fs = std::filesystem;

// CheckBlockCoding decodes the payload's block, encodes it and decodes the
// result again: the same file name and key bytes must come out.
void CheckBlockCoding(const std::string& text) {
  const std::vector<uint8_t> payload = tzm::Base64Decode(text);
  tzm::TPublicKeyBlock block;
  if (!block.Decode(payload)) return;
  std::array<uint8_t, tzm::kPublicKeyBlockLen> encoded{};
  block.Encode(encoded);
  tzm::TPublicKeyBlock again;
  FUZZ_CHECK(again.Decode(encoded), "an encoded block decodes");
  FUZZ_CHECK(again.KeyLength == block.KeyLength && again.FileNameText() == block.FileNameText(), "same fields");
  FUZZ_CHECK(std::memcmp(again.Key().data(), block.Key().data(), block.Key().size()) == 0, "same key bytes");
  FUZZ_CHECK(again.KeyUID() == block.KeyUID(), "same UID");
}

bool IsSeedKey(const tzm::fuzz::TFuzzWorld& world, const Bytes& key) {
  return key == world.A.PublicKey || key == world.B.PublicKey || tzm::fuzz::IsPattern(key.data(), key.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > tzm::fuzz::kMaxInputLen) return 0;
  tzm::fuzz::TFuzzWorld& world = tzm::fuzz::TFuzzWorld::Get();
  const char* chars = size == 0 ? "" : reinterpret_cast<const char*>(data);
  const std::string text(chars, strnlen(chars, size));
  CheckBlockCoding(text);
  TZMEngine engine = world.A.Engine;

  char uid[256];
  std::memset(uid, 0x7f, sizeof(uid));
  const int32_t byUID = GetUIDByPublicKeyTransfer(engine, text.c_str(), uid);

  Bytes key(600, 0x7f);
  int32_t keyLen = static_cast<int32_t>(key.size());
  const int32_t exported = ExportObject(engine, 6, const_cast<char*>(text.c_str()), nullptr, nullptr, key.data(), &keyLen);

  std::vector<char> report(2048, '\x7f');
  const int32_t properties = GetPublicKeyPropertiesByTransfer(engine, text.c_str(), report.data());

  const fs::path saveDir = world.Scratch() / "save";
  std::error_code ignored;
  fs::remove_all(saveDir, ignored);
  fs::create_directories(saveDir);
  const int32_t saved = SavePublicKeyFromTransfer(engine, (saveDir.string() + "/").c_str(), text.c_str());

  int32_t keyGenState = 1;  // skip the key file check; no generation is pending
  const int32_t finished = RemoteGenerateFinishEx(engine, text.c_str(), &keyGenState);

  const int32_t included = IncludePublicKeyTransfer(engine, text.c_str());

  if (byUID != 0) {
    // The text was refused while reading it: every receiver refuses it alike.
    FUZZ_CHECK(exported == byUID && properties == byUID && saved == byUID && finished == byUID && included == byUID,
               "every receiving operation refuses a text alike");
    FUZZ_CHECK(fs::is_empty(saveDir), "nothing saved from a refused text");
    FUZZ_CHECK(keyGenState == 1, "state untouched on failure");
    if (text.empty()) FUZZ_CHECK(byUID == -4, "an empty text is -4");
    return 0;
  }

  FUZZ_CHECK(exported == 0 && keyLen >= 0 && keyLen <= 515, "an accepted text exports its key");
  key.resize(static_cast<size_t>(keyLen));
  FUZZ_CHECK(IsSeedKey(world, key), "an accepted transfer carries a key that was signed");

  const size_t uidLen = strnlen(reinterpret_cast<const char*>(key.data()), key.size());
  const std::string expectedUID(reinterpret_cast<const char*>(key.data()), std::min<size_t>(uidLen, 253));
  FUZZ_CHECK(expectedUID == uid, "the UID is the key file's head, at most 253 characters");

  std::string expectedReport;
  const int32_t composed = tzm::ComposeKeyReport(key, expectedReport);
  if (composed == 0 && expectedReport.size() < 2048) {
    FUZZ_CHECK(properties == 0 && expectedReport == report.data(), "report of the carried key");
  } else {
    FUZZ_CHECK(properties != 0, "no report of an unusable key");
  }

  FUZZ_CHECK(saved == 0, "an accepted text is saved");
  size_t files = 0;
  for (const auto& entry : fs::directory_iterator(saveDir)) {
    ++files;
    FUZZ_CHECK(tzm::fuzz::ReadFile(entry.path()) == key, "the saved file holds the key bytes");
  }
  FUZZ_CHECK(files == 1, "exactly one file saved");
  FUZZ_CHECK(finished == -25 || finished == -23, "no generation is pending");

  if (included == 0) {
    // Back to the start state for the next input.
    world.ResetUser(world.A, world.B);
  } else {
    FUZZ_CHECK(included == -20 || included == -11, "a key is included unless it is the user's own or unusable");
  }
  return 0;
}
