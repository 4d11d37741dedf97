#include "core/package/ShownName.h"

#include <cstdio>

#include "core/platform/CodePage.h"

namespace velkan {

std::string ShownName(const std::string& cp1252)
{
    std::string out = "\"";
    for (char c : cp1252) {
        char32_t code = Cp1252ToCodePoint(static_cast<unsigned char>(c));
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (code < 0x20 || (code >= 0x7F && code < 0xA0)) {
            char text[8];
            std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(code));
            out += text;
        } else {
            out += Cp1252ToUtf8(std::string_view(&c, 1));
        }
    }
    return out + "\"";
}

}  // namespace velkan
