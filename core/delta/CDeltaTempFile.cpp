#include "core/delta/CDeltaTempFile.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"

namespace velkan {

namespace {

std::atomic<unsigned> g_counter{0};

}  // namespace

CDeltaTempFile::CDeltaTempFile(const std::string& dir)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path base = dir.empty() ? fs::temp_directory_path(ec) : fs::path(dir);
    if (ec) throw CFileException("", "no temporary directory (" + ec.message() + ")");
    auto stamp = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned n = g_counter.fetch_add(1);
        fs::path candidate = base / ("vkd" + std::to_string(stamp % 1000000007ULL) + "-" +
                                     std::to_string(n) + ".tmp");
        if (fs::exists(candidate, ec)) continue;
        // Creating the empty file reserves the name; the streams reopen it as they need.
        CFile reserve(candidate.string(), CFile::Mode::Create);
        reserve.Close();
        m_path = candidate.string();
        return;
    }
    throw CFileException(base.string(), "cannot create a temporary file");
}

CDeltaTempFile::~CDeltaTempFile()
{
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove(m_path, ec);
}

}  // namespace velkan
