#include "core/builder/SourcePaths.h"

#include <algorithm>

#include "core/platform/CodePage.h"

namespace velkan {

std::string SourceDirOf(const CData& version)
{
    std::string dir = Cp1252ToUtf8(version.m_strSourceDir);
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

std::string HostPathIn(const std::string& sourceDir, const CFileItem& item)
{
    std::string relative = item.m_strPath;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    return sourceDir + Cp1252ToUtf8(relative);
}

}  // namespace velkan
