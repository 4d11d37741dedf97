#include "core/delta/CDeltaTempFile.h"

#include <filesystem>
#include <system_error>

#include "core/platform/InterruptCleanup.h"
#include "core/platform/PrivateTemp.h"

namespace velkan {

CDeltaTempFile::CDeltaTempFile(const std::string& dir)
{
    // A private folder of its own: the name of the file in it cannot be raced or read by others.
    m_dir = MakePrivateTempDir(dir);
    m_dirGuard = RegisterTempPath(m_dir, true);
    m_path = m_dir + "/scratch.tmp";
    m_fileGuard = RegisterTempPath(m_path, false);
    try {
        CreatePrivateFile(m_path);
    } catch (...) {
        Remove();
        throw;
    }
}

CDeltaTempFile::~CDeltaTempFile()
{
    Remove();
}

void CDeltaTempFile::Remove()
{
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
    UnregisterTempPath(m_fileGuard);
    UnregisterTempPath(m_dirGuard);
}

}  // namespace velkan
