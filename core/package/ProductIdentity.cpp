#include "core/package/ProductIdentity.h"

#include <cstdint>

#include "core/install/WideText.h"
#include "core/platform/CodePage.h"

namespace velkan::package {

namespace {

// The package's Windows-1252 text as UTF-16 units (the code page is all in one plane).
std::wstring Units(const std::string& cp1252)
{
    std::wstring units;
    units.reserve(cp1252.size());
    for (char c : cp1252)
        units += static_cast<wchar_t>(Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    return units;
}

}  // namespace

const std::string& DisplayName(const VersionBlockRecord& block)
{
    return block.title.empty() ? block.name : block.title;
}

std::wstring NameHash(std::wstring_view units)
{
    uint64_t h = 14695981039346656037ull;
    for (wchar_t c : units) {
        h ^= static_cast<uint16_t>(install::UpperUnit(c));
        h *= 1099511628211ull;
    }
    const wchar_t* digits = L"0123456789ABCDEF";
    std::wstring out;
    for (int shift = 60; shift >= 0; shift -= 4) out += digits[(h >> shift) & 15];
    return out;
}

std::wstring ProductId(const PackageContents& contents)
{
    std::wstring identity;
    for (const VersionRecord& v : contents.versions) {
        identity += Units(v.block.name) + L'\n' + Units(v.block.title) + L'\n' +
                    Units(v.block.installDir) + L'\n';
        for (const CFileEntry& e : v.files) identity += Units(e.m_strPath) + L'\n';
    }
    return NameHash(identity);
}

}  // namespace velkan::package
