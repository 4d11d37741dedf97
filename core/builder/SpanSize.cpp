#include "core/builder/SpanSize.h"

#include <limits>

namespace velkan {

namespace {

constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
// More decimals than the largest unit has digits cannot change a whole byte.
constexpr size_t kFractionDigits = 9;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::optional<uint64_t> UnitOf(char c)
{
    switch (c) {
    case 'k':
    case 'K': return 1000;
    case 'm':
    case 'M': return 1000000;
    case 'g':
    case 'G': return 1000000000;
    default: return std::nullopt;
    }
}

}  // namespace

std::optional<uint64_t> ParseSpanSize(std::string_view text, std::string& error)
{
    const std::string quoted = "\"" + std::string(text) + "\"";
    const std::string form = " (bytes, or a number with K, M or G: 1.44M, 650M, 4.7G)";
    size_t i = 0;
    while (i < text.size() && IsDigit(text[i])) ++i;
    std::string_view whole = text.substr(0, i);
    std::string_view fraction;
    if (i < text.size() && text[i] == '.') {
        size_t start = ++i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        fraction = text.substr(start, i - start);
        if (fraction.empty()) whole = {};  // "1." is refused below
    }
    std::optional<uint64_t> unit = 1;
    if (i + 1 == text.size()) unit = UnitOf(text[i++]);
    if (whole.empty() || i != text.size() || !unit || (!fraction.empty() && *unit == 1)) {
        error = quoted + " is not a size" + form;
        return std::nullopt;
    }

    uint64_t bytes = 0;
    for (char c : whole) {
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (bytes > (kMax - digit) / 10) {
            error = quoted + " is too large";
            return std::nullopt;
        }
        bytes = bytes * 10 + digit;
    }
    if (bytes > kMax / *unit) {
        error = quoted + " is too large";
        return std::nullopt;
    }
    bytes *= *unit;
    // The fraction times the unit, rounded down: at most 10^9 x 10^9, within 64 bits.
    uint64_t numerator = 0, denominator = 1;
    for (size_t d = 0; d < fraction.size() && d < kFractionDigits; ++d) {
        numerator = numerator * 10 + static_cast<uint64_t>(fraction[d] - '0');
        denominator *= 10;
    }
    const uint64_t part = numerator * *unit / denominator;
    if (bytes > kMax - part) {
        error = quoted + " is too large";
        return std::nullopt;
    }
    bytes += part;
    if (bytes < kMinimumSpanSize) {
        error = quoted + " is " + std::to_string(bytes) +
                " bytes, less than the smallest piece of " + std::to_string(kMinimumSpanSize) +
                " bytes";
        return std::nullopt;
    }
    return bytes;
}

}  // namespace velkan
