// The two slots every runtime program carries after its 6-byte markers (u16 0x7777 and a tag):
// the size slot, which the builder sets to the program's image size so the setup program finds
// its first section right after itself, and the key slot, from which the package key derives.
#pragma once

#include <cstdint>

namespace velkan::runtime {

// The key slot's value for our runtime. The package key seed is this XOR 0x5D1E9A37.
constexpr uint32_t kRuntimeKeySlot = 0x2F6B1C94;

// The size slot as patched by the builder; 0 in a program that was never patched.
uint32_t OwnSizeSlot();
// The key slot (kRuntimeKeySlot, read through the slot so the marker stays in the image).
uint32_t OwnKeySlot();

}  // namespace velkan::runtime
