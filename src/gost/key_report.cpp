// Builds the key report text from the bytes of a public key file. The text is
// what a person compares by eye or on paper when two parties confirm a key,
// so its layout never changes: CR LF line ends, fixed Windows-1251 algorithm
// names and hex dumps of two-byte groups, eighteen bytes to a line.
#include "key_report.h"

#include <cstring>
#include <exception>
#include <string_view>

#include "TCryptoCEngine.h"
#include "support.h"

namespace tzm {
namespace {

// Public key file layout (integers little-endian):
//   0          u      UID, no zero byte inside (1 to 254 characters)
//   u          1      0
//   u + 1      4      algorithm code: 0 = GOST R 34.10-94, 1 = GOST R 34.10-2001
//   u + 5      S      signing public key, S = 128 (code 0) or 100 (code 1)
//   u + 5 + S  128    exchange public key
// The report shows 128 signing key bytes for code 0 and the first 64 of the
// 100-byte field for code 1 (the rest of that field is unused).
constexpr size_t kMaxUID = 254;
constexpr size_t kExchangeKeyLen = 128;

struct TReportAlgorithm {
  size_t FieldLen;   // bytes of the signing key field in the file
  size_t ShownLen;   // bytes of it shown in the report
  std::string_view Name;
};

// The names begin with the Cyrillic letters of "GOST" (Windows-1251 C3 CE D1
// D2); the "P" after the blank is the Latin letter. 18 bytes each.
constexpr TReportAlgorithm kReport1994{128, 128, "\xC3\xCE\xD1\xD2 P34.10 - 1994"};
constexpr TReportAlgorithm kReport2001{100, 64, "\xC3\xCE\xD1\xD2 P34.10 - 2001"};

constexpr size_t kHexGroup = 2;
constexpr size_t kHexLine = 18;
constexpr std::string_view kCrLf = "\r\n";

}  // namespace

int32_t ComposeKeyReport(std::span<const uint8_t> image, std::string& text) {
  text.clear();
  TByteReader reader(image);
  std::string uid;
  uint32_t code = 0;
  if (!reader.ReadZString(kMaxUID, uid) || uid.empty() || !reader.ReadU32(code)) return kErrPublicKey;
  const TReportAlgorithm* algorithm = nullptr;
  if (code == 0) algorithm = &kReport1994;
  if (code == 1) algorithm = &kReport2001;
  if (algorithm == nullptr) return kErrPublicKey;

  std::span<const uint8_t> signingField;
  std::span<const uint8_t> exchangeKey;
  if (!reader.ReadBytes(algorithm->FieldLen, signingField) || !reader.ReadBytes(kExchangeKeyLen, exchangeKey)) {
    return kErrPublicKey;
  }

  text.reserve(uid.size() + 800);
  text += "UID=";
  text += uid;
  text += kCrLf;
  text += "PKeyAlg=";
  text += algorithm->Name;
  text += kCrLf;
  text += "SPKey=";
  text += kCrLf;
  text += BufferToHex(signingField.first(algorithm->ShownLen), kHexGroup, kHexLine);
  text += kCrLf;
  text += kCrLf;
  text += "EPKey=";
  text += kCrLf;
  text += BufferToHex(exchangeKey, kHexGroup, kHexLine);
  text += kCrLf;
  text += kCrLf;
  return kResultOk;
}

int32_t FGetReportByBuffer(TCryptoCEngine& engine, std::span<const uint8_t> image, char* outBuf) {
  try {
    if (outBuf == nullptr) return kErrBadPointer;
    std::string text;
    const int32_t result = ComposeKeyReport(image, text);
    if (result != kResultOk) return result;
    if (text.size() + 1 > static_cast<size_t>(kMaxReportSize)) return kErrOutOfMemory;
    std::memcpy(outBuf, text.c_str(), text.size() + 1);
    return kResultOk;
  } catch (const std::exception& e) {
    try {
      engine.LastErrorText->WriteText("TCryptoCEngine.FGetReportByBuffer: " + DescribeException(&e));
    } catch (...) {
      // Recording is best effort; the answer stays -3.
    }
    return kErrCritical;
  }
}

}  // namespace tzm
