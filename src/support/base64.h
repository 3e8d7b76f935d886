// Base64 (RFC 4648 alphabet and padding, one line, no breaks) with a strict
// decoder: only the alphabet, CR and LF are accepted, "=" ends the input.
#ifndef TZM_SUPPORT_BASE64_H
#define TZM_SUPPORT_BASE64_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tzm {

// EncodeBuffer returns the Base64 text of |data|; empty data gives empty text.
// Raises EMimeException "Error in EncodeBuffer on GetMem <class>:<message>"
// when the output cannot be allocated.
std::string EncodeBuffer(std::span<const uint8_t> data);

// DecodeBuffer returns the bytes of |text|. CR and LF are skipped and the
// first "=" ends the input. Raises EMimeException
// "Error mime decode. Wrong symbol "<c>" at position <n>." (n from 1) for any
// other byte outside the alphabet, "Error in DecodeBuffer on GetMem ..." when
// memory runs out, and EAssertionFailed for text shorter than 4 characters.
// Returns no bytes when nothing decodes, and when the decoded bytes would
// exceed 3/4 of the text length (unpadded text whose length is not a
// multiple of 4): such input is refused whole, never returned truncated.
std::vector<uint8_t> DecodeBuffer(std::string_view text);

// Base64Encode is EncodeBuffer with every failure swallowed: empty on failure.
std::string Base64Encode(std::span<const uint8_t> data) noexcept;

// Base64Decode is DecodeBuffer with every failure swallowed: empty on failure.
std::vector<uint8_t> Base64Decode(std::string_view text) noexcept;

}  // namespace tzm

#endif  // TZM_SUPPORT_BASE64_H
