// SHA-256 (FIPS 180-4), for the digest a build reports of the program it wrote, so a release
// pipeline can check the bytes it publishes against the build's own record.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace velkan {

class CSha256 {
public:
    CSha256();
    void Update(const void* data, size_t size);
    // The digest as 64 lowercase hexadecimal digits; the object is spent afterwards.
    std::string HexDigest();

private:
    void Block(const uint8_t* block);

    std::array<uint32_t, 8> m_state;
    std::array<uint8_t, 64> m_buffer{};
    size_t m_nBuffered = 0;
    uint64_t m_nLength = 0;
};

// The digest of a whole file, read in pieces; throws CFileException naming path.
std::string Sha256OfFile(const std::string& path);

}  // namespace velkan
