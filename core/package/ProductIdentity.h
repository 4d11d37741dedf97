// How an installed product is known on the machine. Its setup program's versions (their names,
// titles, installation directories as the author wrote them and file paths) are its identity, so
// two projects that share a title are two products. Each place it is installed into has an entry
// in the installed-programs list (the machine's for all users, the user's for one), named
// "Velkan-" and the name hash of that place's uninstaller path, which carries the identity in
// the value "VelkanProduct". The setup program writes them; velkanc inspect gives a packager the
// identity to look for.
#pragma once

#include <string>
#include <string_view>

#include "core/package/PackageRecords.h"

namespace velkan::package {

// The installed-programs list, under HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
inline constexpr const wchar_t* kProgramsListKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const wchar_t* kProgramsEntryPrefix = L"Velkan-";
inline constexpr const wchar_t* kProductValueName = L"VelkanProduct";

// The entry's DisplayName for a version (Windows-1252): its title, or its name when it has none;
// empty when it has neither (the setup program then names it after the installation folder).
const std::string& DisplayName(const VersionBlockRecord& block);

// 16 upper-case hex digits of the FNV-1a 64-bit hash of the UTF-16 units, each in upper case
// (UpperUnit): names that Windows takes as one give one hash.
std::wstring NameHash(std::wstring_view units);
// The product's identity: the name hash of its versions' names, titles, directories and paths.
std::wstring ProductId(const PackageContents& contents);

}  // namespace velkan::package
