// The facts of one file-table entry that velkanc build, verify and extract report in JSON, so a
// pipeline reads every command alike: numbered from 1 like every version and entry velkanc
// names, with the path, the sizes, whether it is a delta and against which version, and the
// checksum the table stores.
#pragma once

#include <cstddef>

#include "core/model/JsonValue.h"

namespace velkan {
class CPackageReader;
}

namespace velkan::cli {

// version and entry count from 0 here; the document counts from 1.
JsonValue EntryFacts(const CPackageReader& reader, size_t version, size_t entry);

// {"number", "name", "title"} of a version, counting from 1.
JsonValue VersionFacts(const CPackageReader& reader, size_t version);

}  // namespace velkan::cli
