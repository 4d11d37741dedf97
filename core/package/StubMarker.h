// The marker search of the runtime programs' slots: a marker is the u16 0x7777 (two kMarkerLead
// bytes) followed by a 4-byte tag (PackageFormat.h), and its u32 slot follows the 6 bytes. The
// builder patches the first size marker of a stub, the reader and the runtime read the slots, and
// the runtime's build checks that each program carries each marker exactly once.
//
// The lead and the tag stay apart in every constant, so no program that links this code carries
// a complete marker anywhere but in its own slots.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/package/PackageFormat.h"

namespace velkan {

// Position of the first marker with this tag whose 4-byte slot lies inside the image, or none.
// (A marker so close to the end that its slot would run past the image is ignored: patching or
// reading it would touch bytes outside the image.)
std::optional<size_t> FindMarker(const uint8_t* image, size_t size, const package::MarkerTag& tag);

// How many markers with this tag, each with its slot inside the image, the image carries.
size_t CountMarkers(const uint8_t* image, size_t size, const package::MarkerTag& tag);

}  // namespace velkan
