// The six per-file options, stored by position in the project file and the package, and the
// values each takes. The project file, the package and the runtime store these numbers; the names
// below are where they are spelled.
#pragma once

namespace velkan {

enum FileOption {
    OptDestination = 0,   // a FileDestination
    OptEndPage = 1,       // an EndPageAction
    OptUsageCount = 2,    // OptionOn: keep the shared-DLL usage count
    OptInstallMode = 3,   // an InstallMode
    OptSpecial = 4,       // a SpecialRegistration
    OptKeepExternal = 5,  // OptionOn: the file stays outside the setup program
    kFileOptionCount = 6,
};

// OptUsageCount and OptKeepExternal.
enum OptionSwitch {
    OptionOff = 0,
    OptionOn = 1,
};

// OptDestination: the folder the file is installed in.
enum FileDestination {
    DestInstallDir = 0,
    DestWindows = 1,
    DestSystem = 2,
    DestFonts = 3,  // installed as a font
};

// OptEndPage: what the wizard's End page offers for the file.
enum EndPageAction {
    EndPageNone = 0,
    EndPageView = 1,  // a View button
    EndPageRun = 2,   // a Run check-box
};

// OptInstallMode.
enum InstallMode {
    InstallKeep = 0,  // installed, and left in place by the uninstaller
    InstallNormal = 1,
    InstallSkip = 2,           // not installed; its shortcuts and End page action still count
    InstallDirectoryOnly = 3,  // only its folder is created
};

// OptSpecial: a registration after installing.
enum SpecialRegistration {
    SpecialNone = 0,
    SpecialScreenSaver = 1,  // made the current screen saver
    SpecialRegisterOcx = 2,  // registered as an OCX control
};

}  // namespace velkan
