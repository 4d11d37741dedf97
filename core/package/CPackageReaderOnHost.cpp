// CPackageReader::OpenFile: the reader over a setup program in this host's file system, its
// continuation files beside it and the engine's scratch files for large delta references. Kept
// apart from the reader itself, which reaches files only through its inputs and makers.
#include <filesystem>
#include <memory>
#include <string>

#include "core/delta/CDeltaTempFile.h"
#include "core/package/CFilePackageInput.h"
#include "core/package/CPackageReader.h"
#include "core/package/ContinuationFileName.h"

namespace velkan {

std::unique_ptr<CPackageReader> CPackageReader::OpenFile(const std::string& path)
{
    auto input = std::make_unique<CFilePackageInput>(path);
    auto opener = [path](int n) -> std::unique_ptr<IPackageInput> {
        // A missing piece is reported by the reader; one that is there but cannot be read (a
        // FIFO, a folder) by its own message.
        std::string name = ContinuationFileName(path, n);
        std::error_code error;
        if (!std::filesystem::exists(name, error)) return nullptr;
        return std::make_unique<CFilePackageInput>(name);
    };
    auto reader = std::make_unique<CPackageReader>(std::move(input), opener);
    reader->SetScratchFileMaker([] { return std::make_unique<CDeltaTempFile>(); });
    return reader;
}

}  // namespace velkan
