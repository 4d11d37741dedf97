// Stand-ins for the runtime's programs and its dialog-template block, with the markers and the
// structure the builder and the readers look for, for the tests that need no real runtime.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/compress/CCompressor.h"
#include "core/package/PackageFormat.h"

namespace velkan::test {

// The marker's two lead bytes, its 4-byte tag, then the u32 slot, at image[at].
inline void PutMarker(std::vector<uint8_t>& image, size_t at, const package::MarkerTag& tag,
                      uint32_t slot)
{
    image.at(at) = image.at(at + 1) = package::kMarkerLead;
    for (size_t i = 0; i < 4; ++i) {
        image.at(at + 2 + i) = tag[i];
        image.at(at + 6 + i) = static_cast<uint8_t>(slot >> (8 * i));
    }
}

// A stand-in for a runtime program: "MZ", filler, the size marker and, when asked (a setup stub),
// the key marker.
inline std::vector<uint8_t> FakeStub(size_t size = 200, bool withKey = true,
                                     uint32_t keySlot = 0x12345678)
{
    std::vector<uint8_t> image(size);
    for (size_t i = 0; i < size; ++i) image[i] = static_cast<uint8_t>(i * 7 + 1);
    image[0] = 'M';
    image[1] = 'Z';
    PutMarker(image, 40, package::kSizeMarker, 0);
    if (withKey) PutMarker(image, 90, package::kKeyMarker, keySlot);
    return image;
}

// A dialog-template block in its resource form: u32 unpacked size, then the packed stream.
inline std::vector<uint8_t> FakeDialogBlock()
{
    std::vector<uint8_t> block(48 + 12 * 20);
    for (size_t i = 0; i < 12; ++i) block[i * 4] = static_cast<uint8_t>(48 + i * 20);
    std::vector<uint8_t> packed = CCompressor::Pack(block.data(), block.size());
    std::vector<uint8_t> body(4 + packed.size());
    body[0] = static_cast<uint8_t>(block.size());
    body[1] = static_cast<uint8_t>(block.size() >> 8);
    std::copy(packed.begin(), packed.end(), body.begin() + 4);
    return body;
}

}  // namespace velkan::test
