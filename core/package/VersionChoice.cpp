#include "core/package/VersionChoice.h"

#include "core/platform/CodePage.h"

namespace velkan {

std::optional<size_t> ChooseVersion(const std::vector<std::string>& names,
                                    const std::vector<std::string>& titles,
                                    const std::string& choice)
{
    if (!choice.empty() && choice.size() <= 9 &&
        choice.find_first_not_of("0123456789") == std::string::npos) {
        size_t n = std::stoul(choice);
        if (n >= 1 && n <= names.size()) return n - 1;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (!names[i].empty() && EqualNoCase1252(names[i], choice)) return i;
        if (i < titles.size() && !titles[i].empty() && EqualNoCase1252(titles[i], choice)) return i;
    }
    return std::nullopt;
}

}  // namespace velkan
