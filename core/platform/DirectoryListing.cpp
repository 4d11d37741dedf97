#include "core/platform/DirectoryListing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/stream/CFileException.h"

namespace velkan {

namespace {

unsigned char Lower(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

bool NameLess(const CDirEntry& a, const CDirEntry& b)
{
    return std::lexicographical_compare(
        a.name.begin(), a.name.end(), b.name.begin(), b.name.end(), [](char x, char y) {
            return Lower(static_cast<unsigned char>(x)) < Lower(static_cast<unsigned char>(y));
        });
}

}  // namespace

std::vector<CDirEntry> ListDirectory(const std::string& dir)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    if (ec) throw CFileException(dir, "cannot read the directory (" + ec.message() + ")");
    std::vector<CDirEntry> entries;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        CDirEntry e;
        e.name = it->path().filename().string();
        std::error_code typeError;
        e.isLink = it->is_symlink(typeError);
        fs::file_status status = it->status(typeError);
        e.isDirectory = fs::is_directory(status);
        e.isRegular = fs::is_regular_file(status);
        e.isDangling = e.isLink && status.type() == fs::file_type::not_found;
        entries.push_back(std::move(e));
    }
    if (ec) throw CFileException(dir, "cannot read the directory (" + ec.message() + ")");
    std::stable_sort(entries.begin(), entries.end(), NameLess);
    return entries;
}

}  // namespace velkan
