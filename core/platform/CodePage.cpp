#include "core/platform/CodePage.h"

#include <cstdio>

#include "core/stream/Utf8.h"

namespace velkan {

namespace {

// 0x80-0x9F is the only range where Windows-1252 differs from ISO 8859-1 (Latin-1). The five
// undefined bytes keep their own value as C1 controls.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

}  // namespace

std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& pos)
{
    auto lead = static_cast<unsigned char>(text[pos]);
    size_t length;
    char32_t cp;
    char32_t minimum;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() - pos < length) return std::nullopt;
    for (size_t i = 1; i < length; ++i) {
        auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    pos += length;
    return cp;
}

char32_t Cp1252ToCodePoint(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
    return byte;
}

std::optional<unsigned char> CodePointToCp1252(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<unsigned char>(codePoint);
    }
    for (unsigned i = 0; i < 32; ++i) {
        if (kHighControls[i] == codePoint) return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

bool IsControlCodePoint(char32_t codePoint)
{
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0);
}

std::string EscapeControls(std::string_view utf8)
{
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        size_t next = i;
        std::optional<char32_t> code = DecodeUtf8(utf8, next);
        if (!code) {
            code = static_cast<unsigned char>(utf8[i]);
            next = i + 1;
        }
        if (IsControlCodePoint(*code)) {
            char text[8];
            std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(*code));
            out += text;
        } else {
            out.append(utf8.substr(i, next - i));
        }
        i = next;
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        auto cp = DecodeUtf8(text, pos);
        if (!cp) return std::nullopt;
        auto byte = CodePointToCp1252(*cp);
        if (!byte) return std::nullopt;
        out += static_cast<char>(*byte);
    }
    return out;
}

std::string Utf16ToCp1252(std::u16string_view units)
{
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char16_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            ++i;  // a pair is one character outside the code page
            out += '?';
            continue;
        }
        auto byte = CodePointToCp1252(unit);
        out += byte ? static_cast<char>(*byte) : '?';
    }
    return out;
}

std::string Utf16LeToCp1252(const unsigned char* bytes, size_t count)
{
    std::u16string units(count, u'\0');
    for (size_t i = 0; i < count; ++i) {
        units[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return Utf16ToCp1252(units);
}

char ToUpper1252(char c)
{
    auto b = static_cast<unsigned char>(c);
    if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) {
        return static_cast<char>(b - 0x20);
    }
    switch (b) {
    case 0x9A: return static_cast<char>(0x8A);
    case 0x9C: return static_cast<char>(0x8C);
    case 0x9E: return static_cast<char>(0x8E);
    case 0xFF: return static_cast<char>(0x9F);
    default: return c;
    }
}

char ToLower1252(char c)
{
    auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
        return static_cast<char>(b + 0x20);
    }
    switch (b) {
    case 0x8A: return static_cast<char>(0x9A);
    case 0x8C: return static_cast<char>(0x9C);
    case 0x8E: return static_cast<char>(0x9E);
    case 0x9F: return static_cast<char>(0xFF);
    default: return c;
    }
}

std::string ToUpper1252(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = ToUpper1252(c);
    return out;
}

std::string ToLower1252(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = ToLower1252(c);
    return out;
}

bool EqualNoCase1252(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (ToLower1252(a[i]) != ToLower1252(b[i])) return false;
    }
    return true;
}

}  // namespace velkan
