#include "core/model/CFileList.h"

#include <unordered_map>

#include "core/model/CUserAbort.h"
#include "core/model/IScanHost.h"
#include "core/model/PathCompare.h"
#include "core/platform/CodePage.h"
#include "core/platform/DirectoryListing.h"
#include "core/platform/COutsideLinkCheck.h"
#include "core/platform/WindowsName.h"
#include "core/res/StringTable.h"
#include "core/stream/CFileException.h"

namespace velkan {

int CFileList::IndexOf(const std::string& path) const
{
    for (size_t i = 0; i < size(); ++i) {
        if (EqualsNoCase((*this)[i].m_strPath, path)) return static_cast<int>(i);
    }
    return -1;
}

const CFileItem* CFileList::FindByPath(const std::string& path) const
{
    int i = IndexOf(path);
    return i < 0 ? nullptr : &(*this)[static_cast<size_t>(i)];
}

CFileItem* CFileList::FindByPath(const std::string& path)
{
    int i = IndexOf(path);
    return i < 0 ? nullptr : &(*this)[static_cast<size_t>(i)];
}

void CFileList::ShowScanStatus(const CFileItem& item, IScanHost* host)
{
    if (!host) return;
    host->ShowStatus(LoadString(1156) + " " + item.m_strPath);
    if (host->IsCancelRequested()) {
        clear();
        throw CUserAbort();
    }
}

CFileList::PathKeys CFileList::Keys() const
{
    PathKeys keys;
    keys.reserve(size());
    for (const CFileItem& item : *this) keys.insert(ToUpper1252(item.m_strPath));
    return keys;
}

int CFileList::AddUnique(const CFileItem& item, IScanHost* host)
{
    ShowScanStatus(item, host);
    if (FindByPath(item.m_strPath)) return -1;
    push_back(item);
    return static_cast<int>(size() - 1);
}

int CFileList::AddUnique(const CFileItem& item, IScanHost* host, PathKeys& keys)
{
    ShowScanStatus(item, host);
    if (!keys.insert(ToUpper1252(item.m_strPath)).second) return -1;
    push_back(item);
    return static_cast<int>(size() - 1);
}

std::vector<std::string> CFileList::ScanDirectory(const std::string& root, const std::string& dir,
                                                  bool recursive, IScanHost* host,
                                                  bool followOutsideLinks)
{
    PathKeys keys = Keys();
    return ScanInto(root, dir, recursive, host, followOutsideLinks, keys);
}

std::vector<std::string> CFileList::ScanInto(const std::string& root, const std::string& dir,
                                             bool recursive, IScanHost* host,
                                             bool followOutsideLinks, PathKeys& keys)
{
    std::vector<std::string> notes;
    for (const CDirEntry& entry : ListDirectory(dir)) {
        std::string full = dir + entry.name;
        if (entry.name.find('\\') != std::string::npos) {
            throw CFileException(full,
                                 "the name holds a backslash, which Windows reads as a "
                                 "folder separator");
        }
        if (entry.isDirectory) {
            // A linked directory is not entered: a link to an ancestor would never end.
            if (recursive && !entry.isLink) {
                auto inner = ScanInto(root, full + "/", recursive, host, followOutsideLinks, keys);
                notes.insert(notes.end(), inner.begin(), inner.end());
            }
            continue;
        }
        if (entry.isDangling) {
            notes.push_back(full + ": skipped, a link to nothing");
            continue;
        }
        if (!entry.isRegular) {
            notes.push_back(full + ": skipped, not a regular file (a FIFO, socket or device)");
            continue;
        }
        if (entry.isLink && !followOutsideLinks && COutsideLinkCheck(root).IsOutside(full)) {
            notes.push_back(full +
                            ": skipped, a link to a file outside the source folder "
                            "(follow such links only when asked to)");
            continue;
        }
        std::string relative = full.substr(root.size());
        auto path = Utf8ToCp1252(relative);
        if (!path) {
            throw CFileException(full,
                                 "the file name cannot be written in the Windows-1252 "
                                 "code page of setup programs");
        }
        for (char& c : *path) {
            if (c == '/') c = '\\';
        }
        size_t start = 0;
        while (start <= path->size()) {
            size_t end = path->find('\\', start);
            if (end == std::string::npos) end = path->size();
            std::string problem = WindowsNameProblem(path->substr(start, end - start));
            if (!problem.empty()) {
                throw CFileException(full, "a name Windows cannot install: " + problem);
            }
            start = end + 1;
        }
        AddUnique(CFileItem(*path), host, keys);
    }
    return notes;
}

std::vector<std::string> CFileList::Rescan(const std::string& root, bool recursive, IScanHost* host)
{
    CFileList found;
    std::vector<std::string> notes = found.ScanDirectory(root, root, recursive, host);
    ReplaceKeepingOptions(found);
    return notes;
}

void CFileList::ReplaceKeepingOptions(const CFileList& found)
{
    // The first listed item of each path, as FindByPath would give it.
    std::unordered_map<std::string, const CFileItem*> known;
    known.reserve(size());
    for (const CFileItem& item : *this) known.emplace(ToUpper1252(item.m_strPath), &item);
    CFileList merged;
    PathKeys keys;
    for (const CFileItem& item : found) {
        auto old = known.find(ToUpper1252(item.m_strPath));
        CFileItem next = item;
        if (old != known.end()) next.CopyFrom(*old->second);
        merged.AddUnique(next, nullptr, keys);
    }
    *this = std::move(merged);
}

}  // namespace velkan
