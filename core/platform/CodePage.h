// The 8-bit code page of the model, the project file, the text files and the package: Windows-1252.
// Conversions to and from the host's UTF-8 and the UTF-16 of 16-bit strings, and the code page's
// own single-byte case mapping (independent of the C locale, so results never vary by host).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velkan {

// The Unicode code point of a Windows-1252 byte. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as Windows does, so
// every byte string round-trips through UTF-8.
char32_t Cp1252ToCodePoint(unsigned char byte);
// The Windows-1252 byte of a code point; nullopt when the code page has none.
std::optional<unsigned char> CodePointToCp1252(char32_t codePoint);

// A control character: C0 (below U+0020), DEL, or C1 (U+0080 to U+009F, which some terminals
// take as the start of an escape sequence). Every name or text shown to a person escapes these.
bool IsControlCodePoint(char32_t codePoint);
// UTF-8 text with every control character written as \u00XX (the JSON escape). A byte that is
// not UTF-8 is kept, unless it is the 8-bit form of a C1 control.
std::string EscapeControls(std::string_view utf8);

// Windows-1252 bytes to UTF-8. Never fails.
std::string Cp1252ToUtf8(std::string_view text);
// UTF-8 to Windows-1252 bytes; nullopt for invalid UTF-8 (bad or truncated sequences, overlong
// forms, surrogates, values above U+10FFFF) and for any character the code page cannot hold.
std::optional<std::string> Utf8ToCp1252(std::string_view text);
// Decodes one UTF-8 sequence at text[pos] (pos < text.size()) and advances pos past it; nullopt,
// pos unchanged, for a bad or truncated sequence, an overlong form, a surrogate or a value above
// U+10FFFF.
std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& pos);

// UTF-16 code units to Windows-1252; a character the code page cannot hold becomes '?' (a
// surrogate pair counts as one character, a lone surrogate as one), as a conversion with a
// default character does.
std::string Utf16ToCp1252(std::u16string_view units);
// The same for `count` code units stored little-endian at `bytes` (2 x count bytes).
std::string Utf16LeToCp1252(const unsigned char* bytes, size_t count);

// Single-byte case mapping of the code page: a-z, the accented letters 0xE0-0xFE (except the
// division sign 0xF7), and the pairs 0x9A/0x8A, 0x9C/0x8C, 0x9E/0x8E, 0xFF/0x9F.
char ToUpper1252(char c);
char ToLower1252(char c);
std::string ToUpper1252(std::string_view text);
std::string ToLower1252(std::string_view text);
// Case-insensitive equality under that mapping (how the target compares paths and names).
bool EqualNoCase1252(std::string_view a, std::string_view b);

}  // namespace velkan
