// Where the delta encoder looks for copies.
#pragma once

#include <optional>
#include <string_view>

namespace velkan {

enum class DeltaSearch {
    // The window of positions around the proportional place in the reference: the delta a
    // build stores by default.
    Window,
    // Opt-in: also anywhere in the reference through an index of the whole of it, so a part
    // moved far from its proportional place is still copied. The same format; every reader
    // decodes it unchanged.
    Global,
};

// The names the command line and the editor's settings use: "window", "global".
inline const char* DeltaSearchName(DeltaSearch search)
{
    return search == DeltaSearch::Global ? "global" : "window";
}

inline std::optional<DeltaSearch> DeltaSearchFromName(std::string_view name)
{
    if (name == "window") return DeltaSearch::Window;
    if (name == "global") return DeltaSearch::Global;
    return std::nullopt;
}

}  // namespace velkan
