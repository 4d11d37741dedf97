// Project files from anywhere: reading must fail cleanly or give a project that writes back and
// reads again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/model/CArchiveException.h"
#include "core/model/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velkan;
    try {
        CDataArray project = ReadProject(data, size);
        std::vector<unsigned char> once = WriteProject(project);
        CDataArray again = ReadProject(once.data(), once.size());
        if (WriteProject(again) != once) std::abort();
    } catch (const CArchiveException&) {
    }
    return 0;
}
