#include "core/stream/JoinText.h"

namespace velkan {

void TextPiece::AppendTo(std::string& text) const
{
    if (m_text && m_text != kNegative) {
        text.append(m_text, m_value);
        return;
    }
    char digits[21];
    char* p = digits + sizeof digits;
    uint64_t n = m_value;
    do {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n);
    if (m_text) text.push_back('-');
    text.append(p, digits + sizeof digits - p);
}

std::string JoinText(std::initializer_list<TextPiece> pieces)
{
    std::string text;
    for (const TextPiece& piece : pieces) piece.AppendTo(text);
    return text;
}

}  // namespace velkan
