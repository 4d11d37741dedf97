#include "core/platform/COutsideLinkCheck.h"

#include <filesystem>

namespace velkan {

namespace fs = std::filesystem;

COutsideLinkCheck::COutsideLinkCheck(const std::string& folder)
{
    m_inside = Resolved(folder);
    if (!m_inside.empty() && m_inside.back() != '/') m_inside += '/';
}

std::string COutsideLinkCheck::Resolved(const std::string& path)
{
    std::error_code ec;
    std::string resolved = fs::canonical(path, ec).string();
    return ec ? std::string() : resolved;
}

bool COutsideLinkCheck::IsOutside(const std::string& path)
{
    if (m_inside.empty()) return false;
    std::string target;
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if (ec || !fs::exists(status)) return false;
    if (slash == std::string::npos || name.empty() || name == "." || name == ".." ||
        fs::is_symlink(status)) {
        target = Resolved(path);
    } else {
        // The last name is no link, so the path resolves to its directory's place plus the name.
        const std::string dir = path.substr(0, slash + 1);
        auto cached = m_dirs.find(dir);
        if (cached == m_dirs.end()) cached = m_dirs.emplace(dir, Resolved(dir)).first;
        const std::string& place = cached->second;
        if (!place.empty()) target = place + (place.back() == '/' ? "" : "/") + name;
    }
    return !target.empty() && target.compare(0, m_inside.size(), m_inside) != 0;
}

}  // namespace velkan
