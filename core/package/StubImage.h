// The two slots of a runtime executable (the setup stub or the uninstaller): the size slot, which
// the builder sets so the runtime finds the first section right after itself, and the key slot,
// from which the package key is derived. Each slot follows a 6-byte marker: u16 0x7777 and a tag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/package/StubMarker.h"

namespace velkan {

// Sets the size slot to the image's size. Returns false (image unchanged) without a size marker.
bool PatchSizeSlot(std::vector<uint8_t>& image);

// The seed of the package key: the key slot XOR 0x5D1E9A37, or 0x6B2C4F18 without a key marker.
uint32_t ReadKeySeed(const uint8_t* image, size_t size);

// Resource numbers by platform (CDataArray::Platform).
int StubResourceId(int platform);
int UninstallerResourceId(int platform);
int DialogBlockResourceId(int platform, bool hasWizardBitmap);

}  // namespace velkan

namespace velkan {

class IByteSink;

// Writes the stub image with its size slot patched; returns the package key seed it carries.
uint32_t WriteStub(IByteSink& output, std::vector<uint8_t> image);

}  // namespace velkan
