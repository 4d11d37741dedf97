// The install wizard's twelve dialog templates, defined once here and serialised at build time
// into the dialog-template blocks the builder carries (resources 502-505). Portable code: the
// host tool that writes the blocks and the Windows runtime that reads them share this layout.
//
// A block is a table of 12 u32 offsets from the block's start (the first is 48, the table's
// size) followed by the templates: Win32 wide-character DLGTEMPLATE form for the 32-bit
// platform, the 8-bit Windows 3.1 form otherwise. The bitmap variants lay the wizard frame out
// wider, with one more item: the static that shows the wizard bitmap.
#pragma once

#include <cstdint>
#include <vector>

namespace velkan::runtime {

// Indexes of the templates in a block.
enum WizardDialog {
    kDlgFrame = 0,        // wizard frame: page area, Back / Next / Cancel
    kDlgWelcome = 1,      // page 0
    kDlgInformation = 2,  // page 1: scrollable text
    kDlgDirectory = 3,    // page 2
    kDlgConfirm = 4,      // page 3
    kDlgProgress = 5,     // page 4
    kDlgEnd = 6,          // page 5
    kDlgVersion = 7,      // page 9: choose the version
    kDlgBrowse = 8,       // directory chooser
    kDlgRestart = 9,      // restart question
    kDlgAsk = 10,         // Yes / Yes to all / No / No to all question (uninstaller)
    kDlgUninstall = 11,   // uninstaller progress
    kWizardDialogCount = 12,
};

constexpr uint32_t kDialogBlockTableSize = 4 * kWizardDialogCount;

// Control ids shared by the templates and the runtime's windows.
enum WizardControl : uint16_t {
    kIdBack = 100,
    kIdNext = 101,
    kIdCancel = 102,
    kIdPageArea = 103,
    kIdBitmap = 104,
    kIdTitle = 110,
    kIdText1 = 111,
    kIdText2 = 112,
    kIdText3 = 113,
    kIdText4 = 114,
    kIdScrollText = 120,
    kIdDirEdit = 121,
    kIdBrowse = 122,
    kIdSpaceNeeded = 123,
    kIdSpaceFree = 124,
    kIdProgress = 125,
    kIdFileName = 126,
    kIdReport = 127,
    kIdView = 128,
    kIdRun = 129,
    kIdVersionList = 130,
    kIdDriveCombo = 131,
    kIdFolderList = 132,
    kIdYes = 140,
    kIdYesAll = 141,
    kIdNo = 142,
    kIdNoAll = 143,
    kIdAllUsers = 150,  // made by the wizard, not in the templates
};

// Predefined control classes: the Win32 atoms and the 8-bit form's class bytes share the values.
enum ControlClass : uint8_t {
    kButton = 0x80,
    kEdit = 0x81,
    kStatic = 0x82,
    kListBox = 0x83,
    kComboBox = 0x85,
    kProgressBar = 0,  // a named class; the 8-bit form draws a framed static instead
};

// The 8-bit form has no progress bar class: its templates carry, with the bar's id, a static of
// style kSsBlackFrame in its place, which the runtime turns back into a control of class
// kProgressClass with the kWsBorder style.
constexpr const char kProgressClass[] = "msctls_progress32";
constexpr uint32_t kSsTypeMask = 0x1F, kSsBlackFrame = 0x7;
constexpr uint32_t kWsBorder = 0x00800000;

// The block for one platform (win31: the 8-bit form) and layout (withBitmap: the wider frame).
std::vector<uint8_t> BuildDialogBlock(bool win31, bool withBitmap);

// The width of the wizard frame in dialog units.
constexpr int16_t kFrameWidth = 236;
constexpr int16_t kFrameWidthWithBitmap = 288;

}  // namespace velkan::runtime
