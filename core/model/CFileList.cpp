#include "core/model/CFileList.h"

#include "core/model/CUserAbort.h"
#include "core/model/IScanHost.h"
#include "core/model/PathCompare.h"
#include "core/platform/CodePage.h"
#include "core/platform/DirectoryListing.h"
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

int CFileList::AddUnique(const CFileItem& item, IScanHost* host)
{
    if (host) {
        host->ShowStatus(LoadString(1156) + " " + item.m_strPath);
        if (host->IsCancelRequested()) {
            clear();
            throw CUserAbort();
        }
    }
    if (FindByPath(item.m_strPath)) return -1;
    push_back(item);
    return static_cast<int>(size() - 1);
}

void CFileList::ScanDirectory(const std::string& root, const std::string& dir, bool recursive,
                              IScanHost* host)
{
    for (const CDirEntry& entry : ListDirectory(dir)) {
        std::string full = dir + entry.name;
        if (entry.isDirectory) {
            // A linked directory is not entered: a link to an ancestor would never end.
            if (recursive && !entry.isLink) ScanDirectory(root, full + "/", recursive, host);
            continue;
        }
        std::string relative = full.substr(root.size());
        auto path = Utf8ToCp1252(relative);
        if (!path) {
            throw CFileException(full, "the file name cannot be written in the Windows-1252 "
                                       "code page of setup programs");
        }
        for (char& c : *path) {
            if (c == '/') c = '\\';
        }
        AddUnique(CFileItem(*path), host);
    }
}

void CFileList::Rescan(const std::string& root, bool recursive, IScanHost* host)
{
    CFileList found;
    found.ScanDirectory(root, root, recursive, host);
    ReplaceKeepingOptions(found);
}

void CFileList::ReplaceKeepingOptions(const CFileList& found)
{
    CFileList merged;
    for (const CFileItem& item : found) {
        const CFileItem* known = FindByPath(item.m_strPath);
        CFileItem next = item;
        if (known) next.CopyFrom(*known);
        merged.AddUnique(next);
    }
    *this = std::move(merged);
}

}  // namespace velkan
