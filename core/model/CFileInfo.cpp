#include "core/model/CFileInfo.h"

#include "core/model/CArchive.h"
#include "core/res/StringTable.h"

namespace velkan {

void CFileInfo::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteDword(kSchema);
        ar.WriteString(m_strFile);
        ar.WriteInt(m_nOffsetMode);
        ar.WriteString(m_strOffset);
        ar.WriteString(m_strText);
        ar.WriteInt(m_nReserved1);
        ar.WriteInt(m_nReserved2);
        return;
    }
    uint32_t schema = ar.ReadDword();
    if (schema != kSchema) ar.FailSchema(LoadString(1230), "file string entry", schema);
    m_strFile = ar.ReadString();
    m_nOffsetMode = ar.ReadInt();
    m_strOffset = ar.ReadString();
    m_strText = ar.ReadString();
    m_nReserved1 = ar.ReadInt();
    m_nReserved2 = ar.ReadInt();
}

}  // namespace velkan
