// Fuzz target of CPackageReader: reads the input as a setup program, then unpacks every section
// and rebuilds and verifies every file entry. Any fault must surface as a CPackageException (or
// a file error of a scratch file), never a crash, a hang or an unbounded allocation. An input
// holding "\nD01\n" is split at its last occurrence: the rest becomes continuation file 1.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "core/package/CMemoryPackageInput.h"
#include "core/package/CPackageException.h"
#include "core/package/CPackageReader.h"
#include "core/stream/CFileException.h"
#include "core/stream/CMemorySink.h"

using namespace velkan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const char kSplit[] = "\nD01\n";
    size_t mainSize = size;
    for (size_t p = size >= 5 ? size - 5 : 0; p > 0 && size >= 5; --p) {
        if (std::memcmp(data + p, kSplit, 5) == 0) {
            mainSize = p;
            break;
        }
    }
    std::vector<uint8_t> continuation(data + std::min(size, mainSize + 5), data + size);
    auto opener = [&](int n) -> std::unique_ptr<IPackageInput> {
        if (n != 1 || mainSize == size) return nullptr;
        return std::make_unique<CMemoryPackageInput>(continuation.data(), continuation.size(),
                                                     "input.D01");
    };
    CPackageReader reader(std::make_unique<CMemoryPackageInput>(data, mainSize, "input"), opener);
    try {
        reader.Read();
    } catch (const CPackageException&) {
        return 0;
    }
    const PackageContents& contents = reader.Contents();
    for (size_t i = 0; i + 1 < contents.sections.size(); ++i) {
        try {
            reader.ReadSectionBody(i);
        } catch (const CPackageException&) {
        }
    }
    for (size_t v = 0; v < contents.versions.size(); ++v) {
        for (size_t e = 0; e < contents.versions[v].files.size(); ++e) {
            try {
                reader.VerifyFile(v, e);
                CMemorySink sink;
                if (!contents.versions[v].files[e].IsExternal() &&
                    !contents.versions[v].files[e].HasNoData()) {
                    reader.RebuildFile(v, e, sink);
                }
            } catch (const CPackageException&) {
            } catch (const CFileException&) {
            }
        }
    }
    return 0;
}
