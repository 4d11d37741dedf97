// One string value to write into the registry.
#pragma once

#include <cstdint>
#include <string>

namespace velkan {

class CArchive;

class CRegInfo {
public:
    static constexpr uint32_t kSchema = 0x00003001;
    static constexpr int32_t kFlagNoOverwrite = 1;

    // The root key's name, a backslash and the key; roots outside 1..3 show as HKEY_CLASSES_ROOT.
    std::string DisplayKey() const;
    static const char* RootKeyName(int32_t rootKey);

    void CopyFrom(const CRegInfo& other) { *this = other; }
    void Serialize(CArchive& ar);

    int32_t m_nRootKey = 0;  // 0 HKCR, 1 HKCU, 2 HKLM, 3 HKU
    std::string m_strKey;
    std::string m_strSubkey;
    std::string m_strValue;
    int32_t m_nFlags = 0;

    bool operator==(const CRegInfo&) const = default;
};

}  // namespace velkan
