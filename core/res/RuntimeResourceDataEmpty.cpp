// The runtime resource table of a builder made without the install runtime.
#include "core/res/RuntimeResourceData.h"

namespace velkan {

std::span<const EmbeddedRuntimeResource> EmbeddedRuntimeResources()
{
    return {};
}

}  // namespace velkan
