#include "core/package/DataLayout.h"

#include <algorithm>
#include <map>

#include "core/package/CPackageException.h"
#include "core/package/PackageFormat.h"
#include "core/package/ShownName.h"

namespace velkan {

using namespace package;

namespace {

struct Stream {
    uint64_t offset;
    uint64_t length;
    size_t version;
    size_t entry;
};

}  // namespace

std::vector<std::vector<EntryRole>> CheckDataLayout(const PackageContents& contents)
{
    const auto& versions = contents.versions;
    std::vector<std::vector<EntryRole>> roles(versions.size());
    std::vector<Stream> streams;
    // The owner of each delta stream, by offset and length.
    std::map<std::pair<uint32_t, uint32_t>, std::pair<size_t, size_t>> deltaOwners;
    for (size_t v = 0; v < versions.size(); ++v) {
        const auto& files = versions[v].files;
        roles[v].assign(files.size(), EntryRole::NoData);
        uint64_t lastOwnedOffset = 0;
        for (size_t i = 0; i < files.size(); ++i) {
            const CFileEntry& e = files[i];
            auto fail = [&](const std::string& problem) {
                throw CPackageException("", v, i, e.m_strPath, problem);
            };
            if (e.HasNoData()) continue;
            const bool delta = (e.m_nFlags & kEntryDelta) != 0;
            if (e.IsExternal() && (delta || e.m_nPackedSize != 0 || (e.m_nFlags & kEntryUninstaller))) {
                fail("kept external, yet it claims stored data");
            }
            const size_t sv = e.m_nSourceVersion;
            const size_t se = e.m_nSourceEntry;
            const bool ownSource = (e.m_nFlags & kEntryUninstaller) || (sv == v && se == i);
            if (delta && ownSource) fail("a delta against itself");
            // The source is an earlier version's entry, or, for a takeover (equal files sharing
            // their data), an earlier entry of this version; an owner names itself.
            if (!ownSource) {
                if (sv > v || (sv == v && (delta || se >= i)) || se >= versions[sv].files.size()) {
                    fail("its source, version " + std::to_string(sv + 1) + " entry " +
                         std::to_string(se + 1) + ", is not an entry of an earlier version");
                }
            }
            EntryRole role = EntryRole::Owner;
            if (!ownSource) {
                const CFileEntry& s = versions[sv].files[se];
                const bool sourceIsPlainOwner = roles[sv][se] == EntryRole::Owner &&
                                                !(s.m_nFlags & (kEntryDelta | kEntryUninstaller));
                if (!sourceIsPlainOwner) {
                    fail("its source, " + DescribeEntry(sv, se, s.m_strPath) +
                         ", does not own a plain copy of a file");
                }
                if (!delta) {
                    role = EntryRole::Takeover;  // takes over the source's own copy
                    if (e.m_nOffset != s.m_nOffset || e.m_nPackedSize != s.m_nPackedSize ||
                        e.m_nSize != s.m_nSize || e.m_nChecksum != s.m_nChecksum) {
                        fail("it takes over the data of " + DescribeEntry(sv, se, s.m_strPath) +
                             " but does not agree with it");
                    }
                } else {
                    // A delta against the source's file: its own stream, unless an earlier
                    // version's delta already stored this very one.
                    auto found = deltaOwners.find({e.m_nOffset, e.m_nPackedSize});
                    if (found != deltaOwners.end()) {
                        auto [u, k] = found->second;
                        const CFileEntry& d = versions[u].files[k];
                        if (d.m_nSourceVersion != sv || d.m_nSourceEntry != se ||
                            d.m_nSize != e.m_nSize || d.m_nChecksum != e.m_nChecksum) {
                            fail("it takes over the delta of " + DescribeEntry(u, k, d.m_strPath) +
                                 " but does not agree with it");
                        }
                        role = EntryRole::Takeover;
                    } else {
                        deltaOwners[{e.m_nOffset, e.m_nPackedSize}] = {v, i};
                    }
                }
            }
            roles[v][i] = role;
            if (role != EntryRole::Owner || e.IsExternal()) continue;
            if (e.m_nOffset < lastOwnedOffset) {
                fail("its data lies before the data of an earlier entry of the version");
            }
            lastOwnedOffset = e.m_nOffset;
            streams.push_back({e.m_nOffset, e.m_nPackedSize, v, i});
        }
    }
    std::sort(streams.begin(), streams.end(), [](const Stream& a, const Stream& b) {
        return a.offset != b.offset ? a.offset < b.offset : a.length < b.length;
    });
    uint64_t end = 0;
    for (const Stream& s : streams) {
        const CFileEntry& e = versions[s.version].files[s.entry];
        if (s.offset != end) {
            throw CPackageException(
                "", s.version, s.entry, e.m_strPath, "its data starts at " +
                std::to_string(s.offset) +
                (s.offset < end ? ", inside the data of another entry (which ends at "
                                : ", after bytes no entry owns (from ") +
                std::to_string(end) + ")");
        }
        end += s.length;
    }
    if (end != contents.dataLength) {
        throw CPackageException("the entries own " + std::to_string(end) + " bytes of a data stream of " +
                                std::to_string(contents.dataLength) + " bytes");
    }
    return roles;
}

}  // namespace velkan
