// The install runtime's programs and blocks that every setup program carries, by resource number:
// 500 setup stub, 501 setup stub reading the Windows 3.1 layout, 502-505 dialog-template blocks,
// 506 and 507 uninstallers (Windows 3.1 layout, and the 32-bit platform's). They are embedded into the builder when
// it is built from the runtime's own build; tests can put their own in place.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace velkan {

constexpr int kFirstRuntimeResource = 500;
constexpr int kLastRuntimeResource = 507;

// The bytes of a runtime resource; nullopt when this builder was made without it.
std::optional<std::vector<uint8_t>> LoadRuntimeResource(int id);

// Replaces a resource for the rest of the process (nullopt: make it missing); for tests.
void OverrideRuntimeResource(int id, std::optional<std::vector<uint8_t>> bytes);
// Drops every override.
void ClearRuntimeResourceOverrides();

}  // namespace velkan
