// Text at the tool's two edges: the library speaks Windows-1251 with CR LF
// line breaks, the terminal and the profile files UTF-8.
#ifndef TZCLI_TEXT_H
#define TZCLI_TEXT_H

#include <cstdint>
#include <string>
#include <string_view>

namespace tzcli {

// ToTerminal converts Windows-1251 text from the library to UTF-8.
std::string ToTerminal(std::string_view cp1251);

// FromTerminal converts UTF-8 text typed by the user to Windows-1251;
// characters the code page lacks become '?'.
std::string FromTerminal(std::string_view utf8);

// IsValidUtf8 reports whether text is well-formed UTF-8 (plain ASCII is).
bool IsValidUtf8(std::string_view text);

// ReportLines converts a library text with CR LF breaks to UTF-8 with LF.
std::string ReportLines(std::string_view cp1251);

// Trim removes leading and trailing blanks, tabs and line breaks.
std::string Trim(std::string_view text);

// EqualsIgnoringCase compares two Windows-1251 texts without regard to
// letter case (Latin and Cyrillic).
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// ParseInt32 reads a whole decimal integer ("-13", "+5", "42"); false when
// the text is anything else or out of range.
bool ParseInt32(std::string_view text, int32_t& value);

// JsonQuote returns text (UTF-8) as a JSON string literal with quotes.
std::string JsonQuote(std::string_view utf8);

// HexDump returns the bytes as upper-case hexadecimal digits, without spaces.
std::string HexDump(const uint8_t* bytes, size_t len);

}  // namespace tzcli

#endif
