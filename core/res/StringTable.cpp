// The string table: every text the product shows or stores as a default, keyed by its string id.
// The texts are Windows-1252 bytes; this file stays ASCII, so a non-ASCII byte would be written as
// a \x escape. "\n" is a line feed; printf formats (%s, %d) are kept for the caller to format.
#include "core/res/StringTable.h"

#include <algorithm>
#include <string_view>

namespace velkan {

namespace {

struct StringEntry {
    int id;
    std::string_view text;
};

// Sorted by id: lookups are a binary search, and a static_assert below keeps the order.
// clang-format off
constexpr StringEntry kStrings[] = {
    {128, "Orvanti Velkan\nInstall\n\nSettings File (*.vkp)\n.vkp\nVelkanPro.Settings\nVelkan Settings"},
    {1000, "< &Back"},
    {1001, "&Next >"},
    {1002, "Click 'Next' to continue."},
    {1003, "E&xit"},
    {1004, "&Start"},
    {1005, "&Cancel"},
    {1006, "OK"},
    {1007, "Untitled.txt"},
    {1009, "Uninstaller"},
    {1010, "Welcome to the #title Install program."},
    {1011, "#Title has been successfully installed."},
    {1012, "#Title has not been totally installed because of the following reason:\n\n%s\n\nYou will have to run this utility again to completely install #title."},
    {1013, "This program allows you to install #title on your hard drive."},
    {1014, "It is strongly recommended that before proceeding, you ensure that no other Windows programs are running."},
    {1015, "If you do not wish to install #title, click 'Exit' now, otherwise click 'Next' to continue."},
    {1016, "#Title's files will be installed in the following directory:"},
    {1017, "This program will install #title into %s."},
    {1018, "Click 'Start' to install #title."},
    {1020, "File :"},
    {1021, " "},
    {1022, "#Title Install Program"},
    {1023, "Welcome"},
    {1024, "Directory"},
    {1025, "Confirmation"},
    {1026, "Installing"},
    {1027, "End"},
    {1028, "Executable Files (*.exe)|*.exe|All files (*.*)|*.*||"},
    {1029, "You are currently in the process of installing components.\nIf you exit now, these components will not be installed correctly.\n\nAre you sure you want to cancel?"},
    {1030, "The Install wizard did not complete the installation successfully."},
    {1031, "Out of memory!"},
    {1032, "Install has not completed. Are you sure you want to exit?"},
    {1033, "Title of the wizard page, displayed either to the right of the application title in small window mode, either as title of the wizard dialog in full window mode."},
    {1034, "First static text displayed in the wizard page."},
    {1035, "Second static text displayed in the wizard page."},
    {1036, "Third static text displayed in the wizard page."},
    {1037, "Fourth static text displayed in the wizard page."},
    {1038, "Application title, displayed either to the left of the title of the wizard dialog in small window mode, either as title of the main window in full window mode. This text is also displayed as title of all message windows."},
    {1039, "Message displayed when user clicks 'Cancel' during files installation."},
    {1040, "Message displayed when user clicks 'Exit' before the installation is completed."},
    {1041, "Message displayed when the operation is canceled."},
    {1043, "'Back' button"},
    {1044, "'Next' button"},
    {1045, "'Exit' button"},
    {1046, "'Cancel' button"},
    {1047, "'Start' button"},
    {1048, ""},
    {1050, "Invalid directory."},
    {1051, "Checking..."},
    {1052, "Message"},
    {1053, "This program cannot install #title because of the following reason:"},
    {1054, "MyProduct"},
    {1055, "Please select a directory"},
    {1056, "Directory name:"},
    {1057, "Drives"},
    {1058, "'OK' button"},
    {1059, "Title of the dialog used to select a directory."},
    {1060, "Description of the directory edit box in the dialog used to select a directory."},
    {1061, "Description of the drives combo box in the dialog used to select a directory."},
    {1062, "Example: 32768, or 0x8000"},
    {1063, "Example: 0x41,\"BCD\",69,'FGH'"},
    {1064, "File not found."},
    {1065, "Files"},
    {1066, "Options"},
    {1067, "Filename"},
    {1068, "Section"},
    {1069, "Texts"},
    {1071, "Cannot open the following file:\n%s"},
    {1072, "Cannot create the following file:\n%s"},
    {1073, "The access to the following file is denied:\n%s"},
    {1075, "Registry keys to remove"},
    {1076, "Do you want to stop?"},
    {1077, "Packed"},
    {1078, "Ratio"},
    {1086, "File"},
    {1087, "Size"},
    {1092, "File corrupt or unreadable:\n%s"},
    {1093, "Cannot write to the following file:\n%s"},
    {1094, "Disk full!"},
    {1095, "<None>"},
    {1096, "successfully updated"},
    {1097, "successfully removed"},
    {1098, "successfully installed"},
    {1099, "cannot remove, denied access"},
    {1100, "This message is displayed when a file cannot be overwritten because of denied access."},
    {1101, "error - cannot replace, denied access"},
    {1103, "CRC error - cannot install the following file:\n%s"},
    {1104, "The access to the following file is denied:\n%s"},
    {1105, "One or more files are write-protected. Do you want to overwrite them anyway?"},
    {1106, "Nothing to install! No Install program saved."},
    {1107, "English"},
    {1108, "There is not enough disk space in the target directory. Do you want to try anyway?"},
    {1110, "The destination directory doesn't exist. Do you want it to be created?"},
    {1111, "Cannot install the following file because it's in use:\n\n%s."},
    {1112, "This message is displayed to the right of the filename in the report list."},
    {1113, "This message is displayed when the destination directory does not exist."},
    {1114, "This message is displayed when the destination directory does not exist."},
    {1116, "This question is asked when one or more files are write-protected. If user answers Yes to this question, the Install program will overwrite these write-protected files."},
    {1117, "This message is displayed when the Install program has detected a problem that prevents the installation being launched. This message is followed by an error message."},
    {1118, "Entry"},
    {1119, "String"},
    {1120, "This message is displayed when the Install program cannot overwrite or remove a file."},
    {1121, "This message is displayed when a file is being used by a running application."},
    {1122, "This question is asked when there is not enough disk space in the target directory."},
    {1123, "This message is displayed when there is not enough memory to run the program."},
    {1124, "This message is displayed when the Install program cannot open a file for reading."},
    {1125, "This message is displayed when the Install program cannot create a file."},
    {1126, "This message is displayed when the Install program cannot read a file."},
    {1127, "This message is displayed when the Install program cannot write to a file."},
    {1128, "This message is displayed when the disk is full."},
    {1129, "This message is displayed when the Install program fails installing the specified file."},
    {1132, "Text displayed when the installation has been successfully completed."},
    {1133, "Text displayed when the installation has not been successfully completed. This text must include the special %s character, so that the Install program can insert the cause of the error."},
    {1134, "Uninstall"},
    {1135, "Title of dialog and message boxes."},
    {1136, "This program will uninstall #title from your hard drive. Click OK to continue."},
    {1137, "Used to ask confirmation before starting the uninstallation."},
    {1138, "#Title has been successfully removed from your hard drive."},
    {1139, "Message displayed when the uninstallation is successfully completed."},
    {1140, "&Yes"},
    {1141, "Yes to &all"},
    {1142, "&No"},
    {1143, "No t&o all"},
    {1144, "Message box button. Put '&&' before the character which will be used as keyboard shortcut."},
    {1145, "Invalid uninstall info. This program cannot uninstall #title."},
    {1146, "This message is displayed when the uninstall info is missing or corrupted."},
    {1147, "The following file is write-protected:\n%s\nDo you want to remove it anyway?"},
    {1148, "This question is asked when a file is write-protected."},
    {1149, "Uninstal.exe"},
    {1150, "Uninstall %s"},
    {1151, "Result :"},
    {1152, "    Number of files: %d"},
    {1153, "    Total uncompressed size: %d bytes"},
    {1154, "    Total compressed size: %d bytes"},
    {1155, "    Install program size: %d bytes"},
    {1156, "Press ESC to cancel :"},
    {1157, "Text Files (*.txt)|*.txt||"},
    {1158, "Bitmap Files(*.bmp)|*.bmp||"},
    {1160, "Second static text displayed in the wizard page. This text is displayed above the \"View\" button if you selected a file to view."},
    {1161, "Third static text displayed in the wizard page. This text is displayed above the \"Launch\" check box if you selected a file to launch after exiting the install program."},
    {1162, "View %s"},
    {1163, "This text is displayed in the button that appears when you selected a file to view. If you do not enter any text, the file will be viewed without asking user."},
    {1164, "Launch #title"},
    {1165, "This text is displayed in the check box that appears when you selected a file to launch when exiting the install program. If you do not enter any text, then the file will be launched without asking user."},
    {1166, "Click the following button if you want to see the latest information concerning #title :"},
    {1167, "Select the following option if you want #title to be launched after exiting this install program :"},
    {1168, "All files (*.*)|*.*||"},
    {1169, "The following system file is apparently no longer used:\n%s\nDo you want to remove it?"},
    {1170, "This question is asked by the Uninstall program when the usage count of a system file becomes equal to 0, so that user can choose to remove this file or not. Note: the usage count is decremented only if the option \"Increment DLL usage count\" is selected in the advanced options of this file."},
    {1171, "Disk space needed :"},
    {1172, "Displayed below the directory name."},
    {1173, "Available disk space :"},
    {1174, "Displayed below the directory name."},
    {1175, "%d Mb"},
    {1176, "This text displays a disk space in mega-bytes. %d is replaced by a numeric value."},
    {1177, "%s\n\nThis file exists and is a more recent version than the file to install.\n\nDo you want to overwrite the installed version anyway?"},
    {1178, "This question is asked when the install program detects an installed system file is a more recent version than the file to install."},
    {1179, "%s\n\nThis file exists and is a different language than the file to install.\n\nDo yo want to overwrite the installed version anyway?"},
    {1180, "This question is asked when the install program detects an installed system file is a different language from the file to install."},
    {1181, "Warning: the icon folder of the uninstaller is empty."},
    {1182, "Warning; the icon folder of one or more file(s) is empty."},
    {1183, "Warning; different icon folders were detected."},
    {1184, "Warning: the icon folder of the uninstaller is different from the icon folder of the files."},
    {1185, "Warnings occured. Do you want to continue?"},
    {1186, "This disk contains files. Velkan will not remove these files. Click OK to continue."},
    {1187, "Default"},
    {1188, "Version %d"},
    {1189, "Do you want to remove this version?"},
    {1190, "Choose the version to install"},
    {1191, "Please select the version to install :"},
    {1192, "Click &Next to continue."},
    {1196, "Presentation"},
    {1197, "Information"},
    {1198, "Directory"},
    {1199, "Confirmation"},
    {1200, "Progress"},
    {1201, "End"},
    {1202, "Miscellaneous texts"},
    {1203, "Buttons"},
    {1204, "Choose the version to install"},
    {1206, "&Restart"},
    {1207, "'Restart Windows' button"},
    {1208, "You need to restart Windows so that all installed options can take effect. Click 'Restart' if you want to restart Windows immediately."},
    {1209, "This text is displayed when a system file to install is being used by another application and will be replaced only when Windows will be restarted."},
    {1210, "Key"},
    {1211, "String name"},
    {1212, "Offset"},
    {1213, "String not found in this file."},
    {1214, "String found, offset %d."},
    {1215, "The file MUST be in the source directory!"},
    {1216, "Invalid"},
    {1217, "Valid"},
    {1230, "Incorrect version!"},
    {1236, "This file contains invalid data."},
    {1237, "This message is displayed when the length of the Install program is not correct. This usually happens after an incomplete downloading."},
    {1239, "'Browse' button"},
    {1240, "B&rowse"},
    {1241, "This text is not displayed. Put here a non-empty text (e.g. \"1\") if you want to force the Install program to display the \"Restart Windows\" message above."},
    {1242, "Use this text to replace the Next button. E.g; if your Information page contains a license, you may want to replace the Next button by \"I &agree\"."},
    {2000, "1"},
    {2001, "1"},
    {2002, "1"},
    {2003, "0"},
    {2007, "Information"},
    {2009, "This text is displayed in a scrollable window. If it is empty, then the page is not displayed. It's usually used to display license or install information. "},
    {2013, "Cannot find this directory:\n\n%s"},
    {2014, "Please insert disk number %d."},
    {2015, "Error: %s\n\nPlease insert disk number %d."},
    {2016, "This message is displayed when the install program is spanned on multiple disks, and needs a disk to be inserted."},
    {2017, "Velkan version 0.1.0"},
    {9020, "Choose a directory"},
    {57344, "Velkan"},
};
// clang-format on

constexpr bool IsSortedById()
{
    for (size_t i = 1; i < std::size(kStrings); ++i) {
        if (kStrings[i - 1].id >= kStrings[i].id) return false;
    }
    return true;
}
static_assert(IsSortedById(), "the string table must be sorted by id without duplicates");

const StringEntry* Find(int id)
{
    const auto* end = std::end(kStrings);
    const auto* it = std::lower_bound(std::begin(kStrings), end, id,
                                      [](const StringEntry& e, int key) { return e.id < key; });
    return it != end && it->id == id ? it : nullptr;
}

}  // namespace

std::string LoadString(int id)
{
    const StringEntry* entry = Find(id);
    return entry ? std::string(entry->text) : std::string();
}

bool HasString(int id)
{
    return Find(id) != nullptr;
}

}  // namespace velkan
