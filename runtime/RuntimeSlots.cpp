#include "runtime/RuntimeSlots.h"

#include "core/package/PackageFormat.h"

namespace velkan::runtime {

namespace {

using package::kKeyMarker;
using package::kMarkerLead;
using package::kMarkerSize;
using package::kSizeMarker;
using package::kSlotSize;

// Writable data, so the slots sit in the image exactly once (the build checks that) and the
// compiler may not fold the values into code.
volatile uint8_t g_sizeSlot[kMarkerSize + kSlotSize] = {kMarkerLead,
                                                        kMarkerLead,
                                                        kSizeMarker[0],
                                                        kSizeMarker[1],
                                                        kSizeMarker[2],
                                                        kSizeMarker[3],
                                                        0,
                                                        0,
                                                        0,
                                                        0};
volatile uint8_t g_keySlot[kMarkerSize + kSlotSize] = {kMarkerLead,
                                                       kMarkerLead,
                                                       kKeyMarker[0],
                                                       kKeyMarker[1],
                                                       kKeyMarker[2],
                                                       kKeyMarker[3],
                                                       kRuntimeKeySlot & 0xFF,
                                                       (kRuntimeKeySlot >> 8) & 0xFF,
                                                       (kRuntimeKeySlot >> 16) & 0xFF,
                                                       kRuntimeKeySlot >> 24};

uint32_t ReadSlot(volatile uint8_t* marker)
{
    volatile uint8_t* slot = marker + kMarkerSize;
    return slot[0] | (slot[1] << 8) | (slot[2] << 16) | (static_cast<uint32_t>(slot[3]) << 24);
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
