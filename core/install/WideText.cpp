#include "core/install/WideText.h"

#include <cstdint>

#include "core/stream/Utf8.h"

namespace velkan::install {

namespace {

uint16_t Unit(wchar_t c)
{
    return static_cast<uint16_t>(static_cast<uint32_t>(c) & 0xFFFF);
}

}  // namespace

std::string ToUtf8(std::wstring_view units)
{
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t c = Unit(units[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size()) {
            uint32_t low = Unit(units[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::wstring FromUtf8(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        size_t length = b < 0x80         ? 1
                        : (b >> 5) == 6  ? 2
                        : (b >> 4) == 14 ? 3
                        : (b >> 3) == 30 ? 4
                                         : 0;
        uint32_t c = length == 1   ? b
                     : length == 2 ? (b & 0x1Fu)
                     : length == 3 ? (b & 0x0Fu)
                                   : (b & 0x07u);
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3Fu);
        }
        // Overlong forms and values beyond Unicode are not text we wrote.
        static constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && (c < kLeast[length] || c > 0x10FFFF)) valid = false;
        if (!valid) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
        i += length;
    }
    return out;
}

wchar_t UpperUnit(wchar_t unit)
{
    uint32_t c = Unit(unit);
    if (c >= 'a' && c <= 'z') return static_cast<wchar_t>(c - 32);
    if (c < 0xB5) return static_cast<wchar_t>(c);
    if (c == 0xB5) return static_cast<wchar_t>(0x39C);
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<wchar_t>(c - 32);
    if (c == 0xFF) return static_cast<wchar_t>(0x178);
    // Latin Extended-A: pairs, upper case even, except the stretch 0x139-0x148 and 0x179-0x17E
    // where the upper case is odd; 0x130, 0x131 and 0x138 have no simple pair.
    if (c >= 0x100 && c <= 0x17F) {
        bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149) return static_cast<wchar_t>(c);
        if (c == 0x17F) return static_cast<wchar_t>('S');
        bool lower = oddUpper ? (c % 2 == 0) : (c % 2 == 1);
        return static_cast<wchar_t>(lower ? c - 1 : c);
    }
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return static_cast<wchar_t>(c - 32);
    if (c == 0x3C2) return static_cast<wchar_t>(0x3A3);
    if (c >= 0x430 && c <= 0x44F) return static_cast<wchar_t>(c - 32);
    if (c >= 0x450 && c <= 0x45F) return static_cast<wchar_t>(c - 80);
    if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<wchar_t>(c - 32);
    return static_cast<wchar_t>(c);
}

bool SameName(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && UpperUnit(a[i]) != UpperUnit(b[i])) return false;
    }
    return true;
}

}  // namespace velkan::install
