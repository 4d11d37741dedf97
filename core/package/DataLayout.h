// What makes the data stream of a setup program add up. Every stream belongs to exactly one
// entry (its owner); the owners' streams lie back to back and fill the data stream, in table
// order within each version, with no gap and no overlap; every other entry that has data takes
// it over from an owner of an earlier version and agrees with it in every number. Without this
// a small program could name one stream from thousands of entries, or a stream that overlaps
// another, and so ask for any amount of work.
#pragma once

#include <cstdint>
#include <vector>

#include "core/package/PackageRecords.h"

namespace velkan {

enum class EntryRole : uint8_t {
    NoData,    // nothing stored: "do not install" with an icon or a shortcut
    Owner,     // its own stream (or its own file kept outside the program)
    Takeover,  // the very stream of an owner in an earlier version
};

// The role of every entry (per version, per entry). Throws CPackageException naming the first
// entry that does not fit.
std::vector<std::vector<EntryRole>> CheckDataLayout(const PackageContents& contents);

}  // namespace velkan
