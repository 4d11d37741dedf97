// One entry to write into an INI file.
#pragma once

#include <cstdint>
#include <string>

namespace velkan {

class CArchive;

class CIniInfo {
public:
    static constexpr uint32_t kSchema = 0x00003001;
    static constexpr int32_t kFlagNoOverwrite = 1;

    void CopyFrom(const CIniInfo& other) { *this = other; }
    void Serialize(CArchive& ar);

    std::string m_strFile;
    std::string m_strSection;
    std::string m_strEntry;
    std::string m_strValue;
    int32_t m_nFlags = 0;

    bool operator==(const CIniInfo&) const = default;
};

}  // namespace velkan
