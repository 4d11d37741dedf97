#include "core/model/CDataArray.h"

#include "core/model/CArchive.h"
#include "core/model/DirFlags.h"
#include "core/model/RecordList.h"
#include "core/res/StringTable.h"

namespace velkan {

CDataArray::CDataArray() : m_strBackTitle(LoadString(1054)) {}

CData* CDataArray::GetCurrent()
{
    return m_nCurrent >= 0 && static_cast<size_t>(m_nCurrent) < m_versions.size()
               ? &m_versions[static_cast<size_t>(m_nCurrent)]
               : nullptr;
}

const CData* CDataArray::GetCurrent() const
{
    return const_cast<CDataArray*>(this)->GetCurrent();
}

void CDataArray::Reset()
{
    m_versions.clear();
    m_nCurrent = 0;
    m_strWizardBitmap.clear();
    m_strBackBitmap.clear();
    m_strAuxFile.clear();
    m_strOutputPath.clear();
    m_strBackTitle = LoadString(1054);
    m_nWindowMode = FullScreen;
    m_nPlatform = Win32;
    m_bExclusive = 1;
    m_nTitleReserved = 0;
    m_crTitleColor = 0x00FFFFFF;
}

void CDataArray::CopyFrom(const CDataArray& other)
{
    if (this == &other) return;
    m_versions.clear();
    for (const CData& version : other.m_versions) {
        m_versions.emplace_back();
        m_versions.back().CopyFrom(version);
    }
    m_nCurrent = other.m_nCurrent;
    m_strWizardBitmap = other.m_strWizardBitmap;
    m_strBackBitmap = other.m_strBackBitmap;
    m_strAuxFile = other.m_strAuxFile;
    m_strBackTitle = other.m_strBackTitle;
    m_nWindowMode = other.m_nWindowMode;
    m_strOutputPath = other.m_strOutputPath;
    m_nPlatform = other.m_nPlatform;
    m_bExclusive = other.m_bExclusive;
    m_nTitleReserved = other.m_nTitleReserved;
    m_crTitleColor = other.m_crTitleColor;
    m_lfTitleFont = other.m_lfTitleFont;
}

void CDataArray::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteDword(kSchema);
        ar.WriteString(m_strWizardBitmap);
        ar.WriteString(m_strBackBitmap);
        ar.WriteString(m_strBackTitle);
        ar.WriteString(m_strAuxFile);
        ar.WriteInt(m_nWindowMode);
        ar.WriteString(m_strOutputPath);
        ar.WriteInt(m_nPlatform);
        ar.WriteInt(m_bExclusive);
        ar.WriteInt(m_nTitleReserved);
        ar.WriteDword(m_crTitleColor);
        ar.WriteFont(m_lfTitleFont);
        WriteRecordList(ar, m_versions);
        return;
    }

    const uint32_t schema = ar.ReadDword();
    if (schema >= 0x00020000 && schema <= kSchema) {
        m_strWizardBitmap = ar.ReadString();
        m_strBackBitmap = ar.ReadString();
        m_strBackTitle = ar.ReadString();
        m_strAuxFile = ar.ReadString();
        m_nWindowMode = ar.ReadInt();
        m_strOutputPath = ar.ReadString();
        m_nPlatform = ar.ReadInt();
        m_bExclusive = ar.ReadInt();
        m_nTitleReserved = 0;
        m_crTitleColor = 0x00FFFFFF;
        if (schema >= 0x00020002) {
            m_nTitleReserved = ar.ReadInt();
            m_crTitleColor = ar.ReadDword();
        }
        m_lfTitleFont = schema >= 0x00020001 ? ar.ReadFont() : LogFont::DefaultTitleFont();
        ReadRecordList(ar, m_versions);
    } else if (schema >= 0x00010000 && schema <= 0x00010003) {
        ReadSingleVersionLayout(ar, schema);
    } else {
        ar.FailSchema(LoadString(1230), "project", schema);
    }
    m_nCurrent = 0;
}

// The oldest files hold one version, its fields interleaved with the project's.
void CDataArray::ReadSingleVersionLayout(CArchive& ar, uint32_t schema)
{
    CData version;
    version.m_strSourceDir = ar.ReadString();
    version.m_bSubDirs = ar.ReadInt();
    ReadRecordList(ar, version.m_files);
    version.m_strTitle = ar.ReadString();
    version.ReadTexts(ar);
    version.m_strUninstFile = ar.ReadString();
    version.m_strUninstFolder = ar.ReadString();
    version.m_strUninstIcon = ar.ReadString();
    version.m_regKeysToRemove = ar.ReadStringArray();

    m_strWizardBitmap = ar.ReadString();
    m_strBackBitmap = ar.ReadString();
    m_strBackTitle = ar.ReadString();
    m_strAuxFile = ar.ReadString();
    m_nWindowMode = ar.ReadInt();
    m_nTitleReserved = 0;
    m_crTitleColor = 0x00FFFFFF;
    if (schema >= 0x00010003) {
        m_nTitleReserved = ar.ReadInt();
        m_crTitleColor = ar.ReadDword();
    }
    if (schema >= 0x00010002) {
        m_lfTitleFont = ar.ReadFont();
        version.m_nDirFlags = ar.ReadInt();
    } else {
        version.m_nDirFlags = ar.ReadDword() != 0 ? kDirChangeable : 0;
        m_lfTitleFont = LogFont::DefaultTitleFont();
    }
    version.m_strInstallDir = ar.ReadString();
    if (schema > 0x00010000) {
        version.m_nDirRootKey = ar.ReadInt();
        version.m_strDirKey = ar.ReadString();
        version.m_strDirSubkey = ar.ReadString();
        version.m_strDirIniFile = ar.ReadString();
        version.m_strDirIniSection = ar.ReadString();
        version.m_strDirIniEntry = ar.ReadString();
    }
    m_strOutputPath = ar.ReadString();
    m_nPlatform = ar.ReadInt();
    m_versions.clear();
    m_versions.push_back(std::move(version));
}

}  // namespace velkan
