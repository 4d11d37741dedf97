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
        } else if (IsControlCodePoint(code)) {
            char text[8];
            std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(code));
            out += text;
        } else {
            out += Cp1252ToUtf8(std::string_view(&c, 1));
        }
    }
    return out + "\"";
}

std::string DescribeEntry(size_t version, size_t entry, const std::string& cp1252Path)
{
    return "version " + std::to_string(version + 1) + " entry " + std::to_string(entry + 1) + " (" +
           ShownName(cp1252Path) + ")";
}

}  // namespace velkan
