// A file's three times as Windows FILETIME values (100-nanosecond intervals since 1601-01-01 UTC),
// the form setup programs store and the target restores.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velkan {

struct FileTimes {
    uint64_t creation = 0;  // the birth time where the file system records it, else last write
    uint64_t lastAccess = 0;
    uint64_t lastWrite = 0;
};

// The times of a host file; nullopt when they cannot be read.
std::optional<FileTimes> ReadFileTimes(const std::string& hostPath);

// Seconds and nanoseconds since the Unix epoch as a FILETIME.
uint64_t UnixTimeToFileTime(int64_t seconds, uint32_t nanoseconds);

}  // namespace velkan
