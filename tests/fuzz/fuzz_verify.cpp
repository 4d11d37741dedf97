// Fuzz target of the whole path of velkanc verify: read the setup program, map its data stream,
// check every entry, with the data layout and the section caps in force. It runs on a memory
// limit (tests/CMakeLists.txt: no allocation of 300 MB or more): whatever the input states,
// reading it must stay within a bound, so a stated size believed before it is checked shows up
// as a finding.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/package/CMemoryPackageInput.h"
#include "core/package/CPackageException.h"
#include "core/package/CPackageReader.h"
#include "core/stream/CFileException.h"

using namespace velkan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CPackageReader reader(std::make_unique<CMemoryPackageInput>(data, size, "input"));
    try {
        reader.Read();
        reader.VerifySections();
        reader.LoadDataChunks();
    } catch (const CPackageException&) {
        return 0;
    }
    const PackageContents& contents = reader.Contents();
    for (size_t v = 0; v < contents.versions.size(); ++v) {
        for (size_t e = 0; e < contents.versions[v].files.size(); ++e) {
            try {
                reader.VerifyFile(v, e);
            } catch (const CPackageException&) {
            } catch (const CFileException&) {
            }
        }
    }
    return 0;
}
