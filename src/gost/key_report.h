// The key report: the readable text in which the GOST engine describes a
// public key (also shown as the public key properties). Every report, whether
// of a cached key, a key file, a transfer or a pending regenerated key, is
// built here from the bytes of a public key file.
#ifndef TZM_GOST_KEY_REPORT_H
#define TZM_GOST_KEY_REPORT_H

#include <cstdint>
#include <span>
#include <string>

namespace tzm {

class TCryptoCEngine;

// kMaxReportSize is the room a report buffer must have: the text and its
// zero. Also the answer of GetMaxReportSize and
// GetMaxPublicKeyPropertiesLength.
inline constexpr int32_t kMaxReportSize = 2048;

// ComposeKeyReport builds the report text of the public key file image
// `image` into `text` (no terminating zero):
//   "UID=" uid CR LF
//   "PKeyAlg=" algorithm name CR LF
//   "SPKey=" CR LF  hex dump of the signing public key  CR LF CR LF
//   "EPKey=" CR LF  hex dump of the exchange public key CR LF CR LF
// Answers 0, or -11 when the image is not a usable public key file: empty or
// over-long UID, an algorithm code other than 0 and 1, or fewer bytes than
// the layout of its algorithm needs. Bytes after the exchange key are
// ignored. Never reads outside `image`.
[[nodiscard]] int32_t ComposeKeyReport(std::span<const uint8_t> image, std::string& text);

// FGetReportByBuffer writes the report of `image` with its terminating zero
// into `outBuf`, which must hold kMaxReportSize bytes. Answers 0, -11 (see
// ComposeKeyReport), -8 when the text would not fit, -4 for a nil `outBuf`,
// or -3 after recording "TCryptoCEngine.FGetReportByBuffer: ..." as the
// engine's last-error text. `outBuf` is written only on success.
[[nodiscard]] int32_t FGetReportByBuffer(TCryptoCEngine& engine, std::span<const uint8_t> image,
                                         char* outBuf);

}  // namespace tzm

#endif
