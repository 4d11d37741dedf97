// The six per-file options, stored by position in the project file and the package.
#pragma once

namespace velkan {

enum FileOption {
    OptDestination = 0,   // 0 install dir, 1 Windows, 2 System, 3 Fonts (install as a font)
    OptEndPage = 1,       // 0 nothing, 1 View button, 2 Run check-box on the end page
    OptUsageCount = 2,    // 1 = keep the shared-DLL usage count
    OptInstallMode = 3,   // 1 normal, 0 keep on uninstall, 2 do not install, 3 directory only
    OptSpecial = 4,       // 0 nothing, 1 screen saver, 2 register as OCX
    OptKeepExternal = 5,  // 1 = the file stays outside the setup program
    kFileOptionCount = 6,
};

}  // namespace velkan
