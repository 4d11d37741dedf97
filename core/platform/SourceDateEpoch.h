// The reproducible-builds convention: SOURCE_DATE_EPOCH, when set, is the latest time (seconds
// since the Unix epoch) a build may record, so builds of one source at different times agree.
#pragma once

#include <cstdint>
#include <optional>

namespace velkan {

// SOURCE_DATE_EPOCH as a FILETIME; nullopt when it is unset or empty. Throws CError naming the
// variable when it is not a whole number of seconds from 0 to 253402300799 (the end of 9999).
std::optional<uint64_t> SourceDateEpochFileTime();

}  // namespace velkan
