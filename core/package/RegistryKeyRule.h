// Which registry keys an uninstaller may remove with everything below them. A key to remove is
// removed whole, so it must belong to the product: it lies below Software\Vendor of
// HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or a user under HKEY_USERS (never Software itself) and
// not under, at any depth, a key that Windows and every program share (Software\Microsoft,
// Software\Classes which is HKEY_CLASSES_ROOT, Software\Policies...; the 32-bit view
// Wow6432Node counts as the same tree). The builder warns about a key that breaks the rule; the
// uninstaller refuses it, whether it comes from the package or from the install log.
#pragma once

#include <string>

#include "core/package/UninstallerData.h"

namespace velkan {

// Empty when the key may be removed, else why not (English, for the build report and the log).
std::string RegistryKeyRefusal(const RegistryKeyToRemove& key);

}  // namespace velkan
