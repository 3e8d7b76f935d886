// Internal services of the public key transfers, shared by the transfer
// operations and by remote key generation: building and reading transfer
// texts, and a failure guard for steps that run outside an operation of
// their own.
#ifndef TZM_GOST_TRANSFER_H
#define TZM_GOST_TRANSFER_H

#include <cstdint>
#include <exception>
#include <span>
#include <string_view>

#include "TCryptoCEngine.h"
#include "cryptlib.h"
#include "registry.h"
#include "transfer_block.h"

namespace tzm {

// kTransferSignedLen is the length of the block that is signed: the payload
// of a transfer is the block, the signature block and a 32-bit trailer
// holding this length.
inline constexpr int32_t kTransferSignedLen = static_cast<int32_t>(kPublicKeyBlockLen);

// RecordStepFailure sets the engine's last-error text to
// "TCryptoCEngine.<label>: <class>: <message>".
void RecordStepFailure(TCryptoCEngine& engine, std::string_view label, const std::exception& e) noexcept;

// GuardStep runs body (returning a result code); an exception of the
// standard family is recorded under label and answers -3.
template <class TBody>
int32_t GuardStep(TCryptoCEngine& engine, std::string_view label, TBody&& body) {
  try {
    return body();
  } catch (const std::exception& e) {
    RecordStepFailure(engine, label, e);
    return kErrCritical;
  }
}

// PrepareTransferByBuffer builds the transfer text of the key file bytes key
// under the file name name: the block is signed in place with the engine's
// AddSign (the current user's key) and Base64-encoded into outText, which
// must hold GetMaxPublicKeyTransferSize + 1 bytes. Results: 0; -4 for a nil
// outText or a key longer than 515 bytes; -8 when the text would be longer
// than GetMaxPublicKeyTransferSize (nothing written); -3 when encoding fails;
// AddSign's codes unchanged.
[[nodiscard]] int32_t PrepareTransferByBuffer(TCryptoCEngine& engine, std::span<const uint8_t> key, char* outText,
                                              std::string_view name);

// GetPublicKeyBlockByTransfer decodes the transfer text (CR and LF inside
// are skipped), verifies its signature with the engine's RemoveSign and
// fills block from the verified payload. Results: 0; -4 for a nil or empty
// text, a text that does not decode, or a verified payload that is shorter
// than a block or whose KeyLength lies outside 0..515; RemoveSign's codes
// (-14, verification codes) unchanged; -3 on an exception.
[[nodiscard]] int32_t GetPublicKeyBlockByTransfer(TCryptoCEngine& engine, const char* text, TPublicKeyBlock& block);

}  // namespace tzm

#endif  // TZM_GOST_TRANSFER_H
