// Messages built in one call from literal pieces, strings and numbers:
//     JoinText({"a body of ", size, " bytes passes the end of ", name})
// Each piece is a pointer and a length (or a number) on the caller's stack, so a call site is a
// few stores and one call, where a chain of std::string operator+ and std::to_string makes a
// temporary string per step, each with its own clean-up path for exceptions. The error paths of
// the install runtime are many; written this way they cost a fraction of the bytes.
#pragma once

#include <concepts>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace velkan {

class TextPiece {
public:
    TextPiece(const char* text) : m_text(text), m_value(std::strlen(text)) {}
    TextPiece(const std::string& text) : m_text(text.data()), m_value(text.size()) {}
    TextPiece(std::string_view text) : m_text(text.data()), m_value(text.size()) {}
    // Written in decimal.
    template <std::integral T>
    requires(!std::same_as<T, char> && !std::same_as<T, bool>) TextPiece(T number)
        : m_text(nullptr), m_value(static_cast<uint64_t>(number))
    {
        if (std::is_signed_v<T> && number < 0) {
            m_text = kNegative;
            m_value = 0 - m_value;
        }
    }

    // Appends the piece to text.
    void AppendTo(std::string& text) const;

private:
    // Marks m_value as the magnitude of a negative number.
    static inline const char kNegative[] = "-";

    const char* m_text;  // null: m_value is a number
    uint64_t m_value;    // the length of m_text, or the number
};

std::string JoinText(std::initializer_list<TextPiece> pieces);

}  // namespace velkan
