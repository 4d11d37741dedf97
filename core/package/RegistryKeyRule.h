// Which registry keys an uninstaller may remove with everything below them. A key to remove is
// removed whole, so it must belong to the product: it lies at least two levels below a root
// (HKEY_CURRENT_USER\Software\Vendor, never HKEY_CURRENT_USER\Software) and is none of the keys
// that Windows and every program share (Software\Microsoft, Software\Classes, SYSTEM\...,
// the Run and Uninstall lists...). Under HKEY_USERS the first level (a user) does not count.
// The builder warns about a key that breaks the rule; the uninstaller refuses it.
#pragma once

#include <string>

#include "core/package/UninstallerData.h"

namespace velkan {

// Empty when the key may be removed, else why not (English, for the build report and the log).
std::string RegistryKeyRefusal(const RegistryKeyToRemove& key);

}  // namespace velkan
