#include "core/platform/FileTimes.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace velkan {

namespace {

// FILETIME of 1970-01-01 00:00:00 UTC.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

}  // namespace

uint64_t UnixTimeToFileTime(int64_t seconds, uint32_t nanoseconds)
{
    int64_t ticks = seconds * 10000000LL + nanoseconds / 100;
    // Times before 1601 cannot be written as a FILETIME: clamp to its start.
    if (ticks < -static_cast<int64_t>(kUnixEpochAsFileTime)) return 0;
    return kUnixEpochAsFileTime + static_cast<uint64_t>(ticks);
}

std::optional<FileTimes> ReadFileTimes(const std::string& hostPath)
{
    FileTimes t;
#if defined(STATX_BTIME)
    struct statx sx;
    if (statx(AT_FDCWD, hostPath.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0) {
        t.lastAccess = UnixTimeToFileTime(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
        t.lastWrite = UnixTimeToFileTime(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
        t.creation = (sx.stx_mask & STATX_BTIME)
                         ? UnixTimeToFileTime(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec)
                         : t.lastWrite;
        return t;
    }
#endif
    struct stat st;
    if (stat(hostPath.c_str(), &st) != 0) return std::nullopt;
    t.lastAccess = UnixTimeToFileTime(st.st_atim.tv_sec, static_cast<uint32_t>(st.st_atim.tv_nsec));
    t.lastWrite = UnixTimeToFileTime(st.st_mtim.tv_sec, static_cast<uint32_t>(st.st_mtim.tv_nsec));
    t.creation = t.lastWrite;
    return t;
}

}  // namespace velkan
