#include "core/res/RuntimeResources.h"

#include <map>
#include <mutex>

#include "core/res/RuntimeResourceData.h"

namespace velkan {

namespace {

std::mutex& OverrideLock()
{
    static std::mutex lock;
    return lock;
}

std::map<int, std::optional<std::vector<uint8_t>>>& Overrides()
{
    static std::map<int, std::optional<std::vector<uint8_t>>> overrides;
    return overrides;
}

}  // namespace

std::optional<std::vector<uint8_t>> LoadRuntimeResource(int id)
{
    {
        std::lock_guard<std::mutex> guard(OverrideLock());
        auto it = Overrides().find(id);
        if (it != Overrides().end()) return it->second;
    }
    for (const EmbeddedRuntimeResource& r : EmbeddedRuntimeResources()) {
        if (r.id == id) return std::vector<uint8_t>(r.data, r.data + r.size);
    }
    return std::nullopt;
}

void OverrideRuntimeResource(int id, std::optional<std::vector<uint8_t>> bytes)
{
    std::lock_guard<std::mutex> guard(OverrideLock());
    Overrides()[id] = std::move(bytes);
}

void ClearRuntimeResourceOverrides()
{
    std::lock_guard<std::mutex> guard(OverrideLock());
    Overrides().clear();
}

}  // namespace velkan
