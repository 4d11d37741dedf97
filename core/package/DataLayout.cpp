#include "core/package/DataLayout.h"

#include <algorithm>

#include "core/package/CPackageException.h"
#include "core/package/PackageFormat.h"
#include "core/package/ShownName.h"
#include "core/stream/JoinText.h"

namespace velkan {

using namespace package;

namespace {

struct Stream {
    uint64_t offset;
    uint64_t length;
    size_t version;
    size_t entry;
};

// By place in the data stream, then in table order.
bool ByPlace(const Stream& a, const Stream& b)
{
    if (a.offset != b.offset) return a.offset < b.offset;
    if (a.length != b.length) return a.length < b.length;
    return a.version != b.version ? a.version < b.version : a.entry < b.entry;
}

}  // namespace

std::vector<std::vector<EntryRole>> CheckDataLayout(const PackageContents& contents)
{
    const auto& versions = contents.versions;
    std::vector<std::vector<EntryRole>> roles(versions.size());
    std::vector<Stream> streams;
    // Every delta stream, by place: the first entry in table order at a place stores it, the
    // later ones there take it over.
    std::vector<Stream> deltas;
    for (size_t v = 0; v < versions.size(); ++v) {
        for (size_t i = 0; i < versions[v].files.size(); ++i) {
            const CFileEntry& e = versions[v].files[i];
            if ((e.m_nFlags & kEntryDelta) && !e.HasNoData())
                deltas.push_back({e.m_nOffset, e.m_nPackedSize, v, i});
        }
    }
    std::sort(deltas.begin(), deltas.end(), ByPlace);
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
            if (e.IsExternal() &&
                (delta || e.m_nPackedSize != 0 || (e.m_nFlags & kEntryUninstaller))) {
                fail("kept external, yet it claims stored data");
            }
            const size_t sv = e.m_nSourceVersion;
            const size_t se = e.m_nSourceEntry;
            const bool ownSource = (e.m_nFlags & kEntryUninstaller) || (sv == v && se == i);
            if (delta && ownSource) fail("a delta against itself");
            // The source is an earlier version's entry, or, for a plain takeover (equal files
            // stored once), an earlier entry of this version; an owner names itself.
            if (!ownSource) {
                const bool earlier = sv < v || (sv == v && se < i && !delta);
                if (!earlier || se >= versions[sv].files.size()) {
                    fail(JoinText({"its source, version ", sv + 1, " entry ", se + 1,
                                   ", is neither an earlier version's entry nor an earlier entry "
                                   "of this version"}));
                }
            }
            EntryRole role = EntryRole::Owner;
            if (!ownSource) {
                const CFileEntry& s = versions[sv].files[se];
                const bool sourceIsPlainOwner = roles[sv][se] == EntryRole::Owner &&
                                                !(s.m_nFlags & (kEntryDelta | kEntryUninstaller));
                if (!sourceIsPlainOwner) {
                    fail(JoinText({"its source, ", DescribeEntry(sv, se, s.m_strPath),
                                   ", does not own a plain copy of a file"}));
                }
                if (!delta) {
                    role = EntryRole::Takeover;  // takes over the source's own copy
                    if (e.m_nOffset != s.m_nOffset || e.m_nPackedSize != s.m_nPackedSize ||
                        e.m_nSize != s.m_nSize || e.m_nChecksum != s.m_nChecksum) {
                        fail(JoinText({"it takes over the data of ",
                                       DescribeEntry(sv, se, s.m_strPath),
                                       " but does not agree with it"}));
                    }
                } else {
                    // A delta against the source's file: its own stream, unless an earlier
                    // version's delta already stored this very one.
                    const Stream& first =
                        *std::lower_bound(deltas.begin(), deltas.end(),
                                          Stream{e.m_nOffset, e.m_nPackedSize, 0, 0}, ByPlace);
                    if (first.version != v || first.entry != i) {
                        size_t u = first.version, k = first.entry;
                        const CFileEntry& d = versions[u].files[k];
                        if (d.m_nSourceVersion != sv || d.m_nSourceEntry != se ||
                            d.m_nSize != e.m_nSize || d.m_nChecksum != e.m_nChecksum) {
                            fail(JoinText({"it takes over the delta of ",
                                           DescribeEntry(u, k, d.m_strPath),
                                           " but does not agree with it"}));
                        }
                        role = EntryRole::Takeover;
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
    std::sort(streams.begin(), streams.end(), ByPlace);
    uint64_t end = 0;
    for (const Stream& s : streams) {
        const CFileEntry& e = versions[s.version].files[s.entry];
        if (s.offset != end) {
            throw CPackageException(
                "", s.version, s.entry, e.m_strPath,
                JoinText({"its data starts at ", s.offset,
                          s.offset < end ? ", inside the data of another entry (which ends at "
                                         : ", after bytes no entry owns (from ",
                          end, ")"}));
        }
        end += s.length;
    }
    if (end != contents.dataLength) {
        throw CPackageException(JoinText({"the entries own ", end, " bytes of a data stream of ",
                                          contents.dataLength, " bytes"}));
    }
    return roles;
}

}  // namespace velkan
