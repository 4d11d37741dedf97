// The table of runtime resources embedded at build time. The runtime's build generates its
// definition; without the runtime the table is empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace velkan {

struct EmbeddedRuntimeResource {
    int id;
    const uint8_t* data;
    size_t size;
};

std::span<const EmbeddedRuntimeResource> EmbeddedRuntimeResources();

}  // namespace velkan
