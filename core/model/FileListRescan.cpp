#include "core/model/FileListRescan.h"

#include "core/platform/CodePage.h"
#include "core/platform/ProjectFolder.h"

namespace velkan {

namespace {

std::string HostFolder(const std::string& sourceDir, const std::string& projectFolder)
{
    if (sourceDir.empty()) return std::string();
    std::string dir = ResolveInFolder(Cp1252ToUtf8(sourceDir), projectFolder);
    if (dir.back() == '\\') dir.back() = '/';
    if (dir.back() != '/') dir += '/';
    return dir;
}

}  // namespace

FileListChanges CompareFileLists(const CFileList& before, const CFileList& after)
{
    FileListChanges changes;
    const CFileList::PathKeys beforeKeys = before.Keys();
    const CFileList::PathKeys afterKeys = after.Keys();
    for (const CFileItem& item : after) {
        if (!beforeKeys.count(ToUpper1252(item.m_strPath))) changes.added.push_back(item.m_strPath);
    }
    for (const CFileItem& item : before) {
        if (!afterKeys.count(ToUpper1252(item.m_strPath))) changes.gone.push_back(item.m_strPath);
    }
    return changes;
}

FileListChanges RescanFileList(CFileList& files, const std::string& sourceDir, bool subDirs,
                               const std::string& projectFolder, IScanHost* host)
{
    std::string root = HostFolder(sourceDir, projectFolder);
    if (root.empty()) return {};
    CFileList next = files;
    std::vector<std::string> notes = next.Rescan(root, subDirs, host);
    FileListChanges changes = CompareFileLists(files, next);
    changes.notes = std::move(notes);
    files = std::move(next);
    return changes;
}

FileListChanges RescanVersion(CData& version, const std::string& projectFolder, IScanHost* host)
{
    return RescanFileList(version.m_files, version.m_strSourceDir, version.m_bSubDirs != 0,
                          projectFolder, host);
}

std::string SourceFolderOf(const CData& version, const std::string& projectFolder)
{
    return HostFolder(version.m_strSourceDir, projectFolder);
}

}  // namespace velkan
