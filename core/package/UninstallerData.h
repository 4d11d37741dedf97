// The uninstaller data block of a version: a small block of unpacked sections (its wizard texts,
// the registry keys and the additional files to remove, an end mark) that the build stores,
// packed, as the data of the version's uninstaller entry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velkan {

class CData;

struct RegistryKeyToRemove {
    uint32_t root = 0;  // 0, or 0x80000000..0x80000003 (HKEY_CLASSES_ROOT..HKEY_USERS)
    std::string path;
    bool operator==(const RegistryKeyToRemove&) const = default;
};

// Splits "HKEY_LOCAL_MACHINE\Software\X" into its root and path; a string without a known root
// before its first '\' (or, without one, its first '/') is kept whole with root 0.
RegistryKeyToRemove SplitRegistryKey(std::string_view key);

// The items of "Additional files to remove": pieces between ',' and ';', empty ones dropped,
// "*.ext" reduced to ".ext", and "*.*" making the whole list the single item "*".
std::vector<std::string> SplitExtraFiles(std::string_view text);

// The block for a version: sections 0x1234 (page 8 texts, title expanded), 0x1237 (keys),
// 0x1239 (files, left out when none) and the empty 0x7F7F, all unpacked.
std::vector<uint8_t> BuildUninstallerData(const CData& version);

}  // namespace velkan
