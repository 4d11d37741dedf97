#include "core/syntax/StringSyntax.h"

namespace velkan {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsHexPrefixed(std::string_view token)
{
    return token.size() >= 3 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X');
}

// Accumulates the digits of text in the given base, modulo 2^32 (wrap-around of the unsigned
// type); false on any character that is not a digit of the base.
bool ParseDigits(std::string_view text, int base, uint32_t& value)
{
    value = 0;
    for (char c : text) {
        int digit = HexValue(c);
        if (digit < 0 || digit >= base) return false;
        value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
    }
    return true;
}

}  // namespace

size_t ParseBytePattern(std::string_view text, unsigned char* buffer, size_t capacity)
{
    size_t total = 0;
    std::string_view rest = text;
    while (!rest.empty()) {
        // A comma always ends a token, quotes included: quoted commas are not supported.
        size_t comma = rest.find(',');
        std::string_view token = Trim(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        if (token.empty()) return 0;

        std::string_view bytes;
        unsigned char single = 0;
        if (token[0] == '"' || token[0] == '\'') {
            if (token.size() < 3 || token.back() != token[0]) return 0;
            bytes = token.substr(1, token.size() - 2);
        } else {
            uint32_t value = 0;
            bool ok = IsHexPrefixed(token) ? ParseDigits(token.substr(2), 16, value)
                                           : ParseDigits(token, 10, value);
            if (!ok) return 0;
            // Modulo 256 of the full value; the 2^32 wrap does not change the low byte.
            single = static_cast<unsigned char>(value & 0xFF);
            bytes = std::string_view(reinterpret_cast<const char*>(&single), 1);
        }
        if (buffer) {
            if (bytes.size() > capacity - total) return 0;
            for (size_t i = 0; i < bytes.size(); ++i) {
                buffer[total + i] = static_cast<unsigned char>(bytes[i]);
            }
        }
        total += bytes.size();
    }
    return total;
}

uint32_t ParseOffset(std::string_view text)
{
    std::string_view trimmed = Trim(text);
    uint32_t value = 0;
    bool ok = IsHexPrefixed(trimmed) ? ParseDigits(trimmed.substr(2), 16, value)
                                     : ParseDigits(trimmed, 10, value);
    return ok ? value : 0;
}

}  // namespace velkan
