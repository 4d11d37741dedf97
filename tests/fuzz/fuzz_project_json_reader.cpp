// Projects as text from anywhere: reading must fail cleanly or give a project whose text reads
// back to the same binary bytes and is written again as the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/model/CJsonException.h"
#include "core/model/ProjectFile.h"
#include "core/model/ProjectJson.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velkan;
    try {
        CDataArray project =
            ReadProjectJson(std::string_view(reinterpret_cast<const char*>(data), size));
        std::string text = WriteProjectJson(project);
        CDataArray again = ReadProjectJson(text);
        if (WriteProject(again) != WriteProject(project)) std::abort();
        if (WriteProjectJson(again) != text) std::abort();
    } catch (const CJsonException&) {
    }
    return 0;
}
