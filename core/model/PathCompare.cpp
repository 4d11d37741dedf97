#include "core/model/PathCompare.h"

#include "core/platform/CodePage.h"

namespace velkan {

namespace {

unsigned char Upper(char c)
{
    return static_cast<unsigned char>(ToUpper1252(c));
}

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b)
{
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = Upper(a[i]);
        unsigned char y = Upper(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() &&
           EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace velkan
