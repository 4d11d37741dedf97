// Packs arbitrary bytes and decodes the stream again: the result must be the input, and the
// stream must end exactly where the packed bytes end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/compress/CCompressor.h"
#include "core/compress/CDecompressor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> packed = velkan::CCompressor::Pack(data, size);
    std::vector<uint8_t> back;
    try {
        back = velkan::CDecompressor::Unpack(packed.data(), packed.size(), size);
    } catch (const velkan::CDecodeError&) {
        std::abort();
    }
    if (back.size() != size || (size && std::memcmp(back.data(), data, size) != 0)) std::abort();
    return 0;
}
