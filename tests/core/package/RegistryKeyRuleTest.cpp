#include "core/package/RegistryKeyRule.h"

#include <gtest/gtest.h>

using namespace velkan;

namespace {

struct KeyCase {
    const char* key;  // as the author writes it
    bool removable;
};

// A key to remove is removed with everything below it: only a product's own key below
// Software\Vendor may go, never a root, a first level, or anything at any depth under a key
// Windows and other programs share.
TEST(RegistryKeyRule, OnlyAProductsOwnKeyTwoLevelsDownMayBeRemoved)
{
    const KeyCase cases[] = {
        {"HKEY_CURRENT_USER\\Software\\Vendor", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Vendor\\Product", true},
        {"hkey_local_machine\\SOFTWARE\\Wow6432Node\\Vendor", true},
        {"HKEY_USERS\\S-1-5-21-1\\Software\\Vendor", true},
        {"HKEY_LOCAL_MACHINE\\Software\\Vendor\\Microsoft\\Classes", true},
        // Under a shared key at any depth, in every view of it.
        {"HKEY_CLASSES_ROOT\\CLSID\\{5E1C0A6B-7D3F-4C2A-9B1E-0F6D2A8C4B17}", false},
        {"HKEY_CLASSES_ROOT\\.txt", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node\\CLSID", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Classes\\Wow6432Node\\CLSID\\{X}", false},
        {"HKEY_USERS\\S-1-5-21-1_Classes\\Vendor.Document", false},
        {"HKEY_USERS\\S-1-5-21-1\\Software\\Classes\\Vendor.Document", false},
        {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class", false},
        {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip", false},
        {"HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet001\\Services\\Vendor", false},
        {"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\X", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Policies\\Vendor", false},
        {"HKEY_CURRENT_USER\\Environment\\Vendor", false},
        {"HKEY_CURRENT_USER\\Vendor\\Product", false},
        {"HKEY_CURRENT_USER", false},
        {"HKEY_CURRENT_USER\\", false},
        {"HKEY_CURRENT_USER\\Software", false},
        {"HKEY_CURRENT_USER\\Software\\\\", false},
        {"HKEY_CURRENT_USER\\Software\\Microsoft", false},
        {"HKEY_LOCAL_MACHINE\\software\\microsoft\\windows\\currentversion\\run", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft", false},
        {"HKEY_LOCAL_MACHINE\\Software\\Classes", false},
        {"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services", false},
        {"HKEY_LOCAL_MACHINE\\SYSTEM", false},
        {"HKEY_CLASSES_ROOT\\CLSID", false},
        {"HKEY_CLASSES_ROOT\\Interface", false},
        {"HKEY_USERS\\S-1-5-21-1\\Software", false},
        {"HKEY_CURRENT_USER\\Control Panel\\Desktop", false},
        {"HKEY_CURRENT_USER\\Software\\..\\Microsoft", false},
        {"Software\\Vendor", false},  // no root: root 0
    };
    for (const KeyCase& c : cases) {
        EXPECT_EQ(RegistryKeyRefusal(SplitRegistryKey(c.key)).empty(), c.removable) << c.key;
    }
}

}  // namespace
