// Little-endian loads and stores. Every number in the project file, the package, the dialog
// templates and the PE files this system reads or writes is little-endian (the position codes of
// version deltas are the one exception, written by the delta coder itself); these are the one
// place that says how such a number is laid out in bytes. p needs no alignment.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace velkan {

inline uint16_t LoadLE16(const void* p)
{
    if constexpr (std::endian::native == std::endian::little) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    } else {
        const auto* b = static_cast<const unsigned char*>(p);
        return static_cast<uint16_t>(b[0] | b[1] << 8);
    }
}

inline uint32_t LoadLE32(const void* p)
{
    if constexpr (std::endian::native == std::endian::little) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    } else {
        const auto* b = static_cast<const unsigned char*>(p);
        return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }
}

inline uint64_t LoadLE64(const void* p)
{
    if constexpr (std::endian::native == std::endian::little) {
        uint64_t v;
        std::memcpy(&v, p, 8);
        return v;
    } else {
        const auto* b = static_cast<const unsigned char*>(p);
        return uint64_t(LoadLE32(b)) | uint64_t(LoadLE32(b + 4)) << 32;
    }
}

inline void StoreLE16(void* p, uint16_t v)
{
    auto* b = static_cast<unsigned char*>(p);
    b[0] = static_cast<unsigned char>(v);
    b[1] = static_cast<unsigned char>(v >> 8);
}

inline void StoreLE32(void* p, uint32_t v)
{
    auto* b = static_cast<unsigned char*>(p);
    b[0] = static_cast<unsigned char>(v);
    b[1] = static_cast<unsigned char>(v >> 8);
    b[2] = static_cast<unsigned char>(v >> 16);
    b[3] = static_cast<unsigned char>(v >> 24);
}

}  // namespace velkan
