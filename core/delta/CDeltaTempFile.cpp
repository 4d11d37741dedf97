#include "core/delta/CDeltaTempFile.h"

#include <filesystem>
#include <system_error>

#include "core/platform/PrivateTemp.h"

namespace velkan {

CDeltaTempFile::CDeltaTempFile(const std::string& dir)
{
    // A private folder of its own: the name of the file in it cannot be raced or read by others.
    m_dir = MakePrivateTempDir(dir);
    try {
        m_path = m_dir + "/scratch.tmp";
        CreatePrivateFile(m_path);
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(m_dir, ec);
        throw;
    }
}

CDeltaTempFile::~CDeltaTempFile()
{
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
}

}  // namespace velkan
