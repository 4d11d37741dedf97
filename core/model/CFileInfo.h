// One string to write into an installed file, at a numeric offset or at the first match of a
// byte pattern.
#pragma once

#include <cstdint>
#include <string>

namespace velkan {

class CArchive;

class CFileInfo {
public:
    static constexpr uint32_t kSchema = 0x00003001;
    enum OffsetMode { Numerical = 0, String = 1 };

    void CopyFrom(const CFileInfo& other) { *this = other; }
    void Serialize(CArchive& ar);

    std::string m_strFile;
    std::string m_strOffset;
    std::string m_strText;
    int32_t m_nOffsetMode = Numerical;
    int32_t m_nReserved1 = 512;
    int32_t m_nReserved2 = 0;

    bool operator==(const CFileInfo&) const = default;
};

}  // namespace velkan
