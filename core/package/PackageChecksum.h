// The checksum that every file entry stores (XOR the package key), and the package key itself.
//
// The sum is a rotate-and-add over little-endian 32-bit words, then over the 0 to 3 bytes left;
// a file may be summed in pieces whose sizes are multiples of 4, passing the running value on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace velkan {

class IByteSource;

uint32_t PackageChecksum(const void* bytes, size_t length, uint32_t seed);

// The checksum (seed 0) of everything a source yields from its position to its end, read in
// 32768-byte pieces. length receives the number of bytes read when not null.
uint32_t FileChecksum(IByteSource& source, uint64_t* length = nullptr);

// The package key: the seed read from the stub (see ReadKeySeed), then, for a full-screen
// project with a background title, the checksum of the title's bytes with that seed.
uint32_t PackageKey(uint32_t keySeed, bool fullScreen, std::string_view backTitle);

}  // namespace velkan
