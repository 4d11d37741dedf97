#include "core/model/CRegInfo.h"

#include "core/model/CArchive.h"
#include "core/res/StringTable.h"

namespace velkan {

const char* CRegInfo::RootKeyName(int32_t rootKey)
{
    switch (rootKey) {
    case 1: return "HKEY_CURRENT_USER";
    case 2: return "HKEY_LOCAL_MACHINE";
    case 3: return "HKEY_USERS";
    default: return "HKEY_CLASSES_ROOT";
    }
}

std::string CRegInfo::DisplayKey() const
{
    return std::string(RootKeyName(m_nRootKey)) + "\\" + m_strKey;
}

void CRegInfo::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteDword(kSchema);
        ar.WriteInt(m_nRootKey);
        ar.WriteString(m_strKey);
        ar.WriteString(m_strSubkey);
        ar.WriteString(m_strValue);
        ar.WriteInt(m_nFlags);
        return;
    }
    uint32_t schema = ar.ReadDword();
    if (schema != kSchema) ar.FailSchema(LoadString(1230), "registry entry", schema);
    m_nRootKey = ar.ReadInt();
    m_strKey = ar.ReadString();
    m_strSubkey = ar.ReadString();
    m_strValue = ar.ReadString();
    m_nFlags = ar.ReadInt();
}

}  // namespace velkan
