#include "core/model/CIniInfo.h"

#include "core/model/CArchive.h"

namespace velkan {

void CIniInfo::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteDword(kSchema);
        ar.WriteString(m_strFile);
        ar.WriteString(m_strSection);
        ar.WriteString(m_strEntry);
        ar.WriteString(m_strValue);
        ar.WriteInt(m_nFlags);
        return;
    }
    uint32_t schema = ar.ReadDword();
    // This record's refusal has always been the bare literal, without the exclamation mark.
    if (schema != kSchema) ar.FailSchema("Incorrect version", "INI entry", schema);
    m_strFile = ar.ReadString();
    m_strSection = ar.ReadString();
    m_strEntry = ar.ReadString();
    m_strValue = ar.ReadString();
    m_nFlags = ar.ReadInt();
}

}  // namespace velkan
