#include "core/package/StubMarker.h"

namespace velkan {

using namespace package;

std::optional<size_t> FindMarker(const uint8_t* image, size_t size, const MarkerTag& tag)
{
    if (size < kMarkerSize + kSlotSize) return std::nullopt;
    for (size_t p = 0; p + kMarkerSize + kSlotSize <= size; ++p) {
        if (image[p] == kMarkerLead && image[p + 1] == kMarkerLead && image[p + 2] == tag[0] &&
            image[p + 3] == tag[1] && image[p + 4] == tag[2] && image[p + 5] == tag[3]) {
            return p;
        }
    }
    return std::nullopt;
}

size_t CountMarkers(const uint8_t* image, size_t size, const MarkerTag& tag)
{
    size_t count = 0;
    size_t from = 0;
    while (auto p = FindMarker(image + from, size - from, tag)) {
        ++count;
        from += *p + 1;
    }
    return count;
}

}  // namespace velkan
