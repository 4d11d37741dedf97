// Bits of a version's m_nDirFlags: how the installation directory is chosen and recorded. The
// version block stores their low 16 bits as its option bits, which the install runtime reads.
#pragma once

#include <cstdint>

namespace velkan {

constexpr int32_t kDirChangeable = 0x02;   // the user may change the installation directory
constexpr int32_t kDirUpdateKey = 0x04;    // the directory is written to the registry value
constexpr int32_t kDirUpdateEntry = 0x08;  // the directory is written to the INI entry

}  // namespace velkan
