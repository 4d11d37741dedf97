#include "runtime/RuntimeSlots.h"

namespace velkan::runtime {

namespace {

// Writable data, so the slots sit in the image exactly once (the build checks that) and the
// compiler may not fold the values into code.
volatile uint8_t g_sizeSlot[10] = {0x77, 0x77, 0x67, 0x54, 0x29, 0x48, 0, 0, 0, 0};
volatile uint8_t g_keySlot[10] = {0x77, 0x77, 0x43, 0x56, 0x72, 0x83,
                                  kRuntimeKeySlot & 0xFF, (kRuntimeKeySlot >> 8) & 0xFF,
                                  (kRuntimeKeySlot >> 16) & 0xFF, kRuntimeKeySlot >> 24};

uint32_t ReadSlot(volatile uint8_t* marker)
{
    return marker[6] | (marker[7] << 8) | (marker[8] << 16) | (static_cast<uint32_t>(marker[9]) << 24);
}

}  // namespace

uint32_t OwnSizeSlot()
{
    return ReadSlot(g_sizeSlot);
}

uint32_t OwnKeySlot()
{
    return ReadSlot(g_keySlot);
}

}  // namespace velkan::runtime
