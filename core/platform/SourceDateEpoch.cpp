#include "core/platform/SourceDateEpoch.h"

#include <cstdlib>
#include <string>

#include "core/platform/FileTimes.h"
#include "core/stream/CError.h"

namespace velkan {

std::optional<uint64_t> SourceDateEpochFileTime()
{
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (!text || !*text) return std::nullopt;
    constexpr int64_t kLatest = 253402300799;  // 9999-12-31 23:59:59 UTC
    int64_t seconds = 0;
    bool valid = true;
    for (const char* p = text; *p && valid; ++p) {
        if (*p < '0' || *p > '9') {
            valid = false;
        } else {
            seconds = seconds * 10 + (*p - '0');
            valid = seconds <= kLatest;
        }
    }
    if (!valid) {
        throw CError("SOURCE_DATE_EPOCH is \"" + std::string(text) +
                     "\", not a whole number of seconds since 1970 (from 0 to " +
                     std::to_string(kLatest) + ")");
    }
    return UnixTimeToFileTime(seconds, 0);
}

}  // namespace velkan
