#include "core/builder/FileVersionFacts.h"

#include "core/model/FileOption.h"
#include "core/package/PackageFormat.h"
#include "core/platform/PeVersionInfo.h"

namespace velkan {

void SetFileVersionFacts(CFileEntry& entry, int destination, const std::string& hostPath)
{
    if (destination != DestWindows && destination != DestSystem) return;
    PeVersionInfo info = ReadPeVersionInfo(hostPath);
    if (info.hasFixedInfo) {
        entry.m_nFlags |= package::kEntryHasVersion;
        entry.m_nFileVersionMS = info.fileVersionMS;
        entry.m_nFileVersionLS = info.fileVersionLS;
        entry.m_nProductVersionMS = info.productVersionMS;
        entry.m_nProductVersionLS = info.productVersionLS;
    }
    if (info.hasTranslation) {
        entry.m_nFlags |= package::kEntryHasTranslation;
        entry.m_nTranslation = info.translation;
    }
}

}  // namespace velkan
