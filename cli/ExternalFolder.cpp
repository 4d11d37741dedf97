#include "cli/ExternalFolder.h"

#include <filesystem>

#include "core/delta/CFileDeltaReference.h"
#include "core/package/CPackageReader.h"
#include "core/platform/CodePage.h"
#include "core/stream/CFileException.h"

namespace velkan::cli {

void UseExternalFolder(CPackageReader& reader, const std::string& setupPath,
                       const std::optional<std::string>& folder)
{
    namespace fs = std::filesystem;
    fs::path base = folder ? fs::path(*folder) : fs::path(setupPath).parent_path();
    if (base.empty()) base = ".";
    reader.SetExternalOpener(
        [base](const std::vector<std::string>& parts) -> std::unique_ptr<IDeltaReference> {
            fs::path path = base;
            for (const std::string& part : parts) path /= Cp1252ToUtf8(part);
            std::error_code ec;
            if (!fs::is_regular_file(path, ec)) return nullptr;
            try {
                return std::make_unique<CFileDeltaReference>(path.string());
            } catch (const CFileException&) {
                return nullptr;
            }
        });
}

}  // namespace velkan::cli
