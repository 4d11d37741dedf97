#include "core/package/FileStringFit.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/platform/CodePage.h"
#include "core/syntax/StringSyntax.h"

namespace velkan {

namespace {

// Files searched for a pattern are read whole; the install program refuses larger ones too.
constexpr uint64_t kMaxSearchedSize = 64u << 20;

bool HasMacro(const std::string& text)
{
    return text.find('#') != std::string::npos;
}

}  // namespace

std::optional<uint64_t> FileStringWrittenSize(const CFileInfo& info)
{
    const auto cap = static_cast<uint64_t>(static_cast<uint32_t>(info.m_nReserved1));
    const bool padded = cap != 0 && (info.m_nReserved2 & 1) != 0;
    if (padded) return cap;
    if (HasMacro(info.m_strText)) return std::nullopt;
    uint64_t size = info.m_strText.size() + 1;
    return cap != 0 ? std::min(size, cap) : size;
}

std::optional<std::string> FileStringSourcePath(const std::string& sourceDir, const CFileInfo& info)
{
    const std::string& name = info.m_strFile;
    if (name.empty() || HasMacro(name) || name[0] == '\\' || name[0] == '/' ||
        (name.size() > 1 && name[1] == ':')) {
        return std::nullopt;
    }
    std::string relative = Cp1252ToUtf8(name);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    std::string dir = sourceDir;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir + relative;
}

std::string FileStringFitProblem(const CFileInfo& info, const std::string& hostPath)
{
    std::optional<uint64_t> written = FileStringWrittenSize(info);
    std::error_code error;
    const uint64_t length = std::filesystem::file_size(hostPath, error);
    if (!written || error) return std::string();
    uint64_t at = 0;
    if (info.m_nOffsetMode == CFileInfo::Numerical) {
        at = ParseOffset(info.m_strOffset);
    } else {
        std::vector<unsigned char> pattern(ParseBytePattern(info.m_strOffset));
        if (pattern.empty() || length > kMaxSearchedSize) return std::string();
        ParseBytePattern(info.m_strOffset, pattern.data(), pattern.size());
        std::ifstream in(hostPath, std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        auto hit = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
        if (hit == bytes.end()) return "the byte pattern does not occur in the file";
        at = static_cast<uint64_t>(hit - bytes.begin());
    }
    if (at <= length && *written <= length - at) return std::string();
    return "the string of " + std::to_string(*written) + " bytes with its 0 byte does not fit at " +
           "offset " + std::to_string(at) + " of the " + std::to_string(length) + "-byte file";
}

}  // namespace velkan
