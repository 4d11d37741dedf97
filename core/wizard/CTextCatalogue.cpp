// The catalogue is a constant table of (default text id, usage note id) pairs per page. Counts and
// order are part of the project file and the package: texts are stored and written by position,
// so a slot is only ever appended to a page, never inserted or moved.
#include "core/wizard/CTextCatalogue.h"

#include <span>

#include "core/res/StringTable.h"

namespace velkan {

namespace {

struct Slot {
    int textId;       // default text; 0 = reserved slot, empty by default
    int usageId;      // usage note; 0 = none
    const char* key;  // the slot's name in a project as text, unique in its page
};

constexpr Slot kPresentation[] = {
    {1023, 1033, "title"}, {1010, 1034, "text1"}, {1013, 1035, "text2"},
    {1014, 1036, "text3"}, {1015, 1037, "text4"},
};

constexpr Slot kInformation[] = {
    {2007, 1033, "title"},
    {1021, 2009, "text"},
    {1021, 1242, "nextButton"},
};

constexpr Slot kDirectory[] = {
    {1024, 1033, "title"},          {1016, 1034, "text1"},     {1021, 1035, "text2"},
    {1021, 1036, "text3"},          {1002, 1037, "text4"},     {1171, 1172, "spaceNeeded"},
    {1173, 1174, "spaceAvailable"}, {1175, 1176, "megabytes"},
};

constexpr Slot kConfirmation[] = {
    {1025, 1033, "title"}, {1021, 1034, "text1"}, {1017, 1035, "text2"},
    {1021, 1036, "text3"}, {1018, 1037, "text4"},
};

constexpr Slot kProgress[] = {
    {1026, 1033, "title"},
    {1020, 1034, "fileLabel"},
    {1021, 1035, "text2"},
};

constexpr Slot kEnd[] = {
    {1027, 1033, "title"},       {1011, 1132, "success"}, {1021, 1160, "viewIntro"},
    {1021, 1161, "runIntro"},    {1012, 1133, "failure"}, {1162, 1163, "viewButton"},
    {1164, 1165, "runCheckBox"}, {1208, 1209, "restart"}, {1021, 1241, "forceRestart"},
};

constexpr Slot kMiscellaneous[] = {
    {1022, 1038, "appTitle"},             // 0
    {1055, 1059, "chooseDirTitle"},       // 1
    {1056, 1060, "chooseDirName"},        // 2
    {1057, 1061, "chooseDirDrives"},      // 3
    {1051, 1052, "checking"},             // 4
    {1050, 1113, "invalidDir"},           // 5
    {1110, 1114, "createDir"},            // 6
    {1105, 1116, "overwriteProtected"},   // 7
    {1053, 1117, "cannotInstall"},        // 8
    {1104, 1120, "accessDenied"},         // 9
    {1111, 1121, "fileInUse"},            // 10
    {1108, 1122, "diskSpaceLow"},         // 11
    {1031, 1123, "outOfMemory"},          // 12
    {1029, 1039, "cancelDuringCopy"},     // 13
    {1032, 1040, "exitUnfinished"},       // 14
    {1030, 1041, "cancelled"},            // 15
    {1071, 1124, "cannotOpen"},           // 16
    {1072, 1125, "cannotCreate"},         // 17
    {1092, 1126, "fileCorrupt"},          // 18
    {1093, 1127, "cannotWrite"},          // 19
    {1094, 1128, "diskFull"},             // 20
    {1103, 1129, "crcError"},             // 21
    {1073, 1100, "replaceDenied"},        // 22
    {1096, 1112, "reportUpdated"},        // 23
    {1097, 1112, "reportRemoved"},        // 24
    {1098, 1112, "reportInstalled"},      // 25
    {1099, 1112, "reportCannotRemove"},   // 26
    {1101, 1112, "reportCannotReplace"},  // 27
    {2014, 2016, "insertDisk"},           // 28
    {1177, 1178, "newerVersionExists"},   // 29
    {1179, 1180, "otherLanguageExists"},  // 30
    {1236, 1237, "invalidData"},          // 31
};

constexpr Slot kButtons[] = {
    {1000, 1043, "back"}, {1001, 1044, "next"},   {1003, 1045, "exit"},    {1004, 1047, "start"},
    {1006, 1058, "ok"},   {1005, 1046, "cancel"}, {1206, 1207, "restart"},
};

constexpr Slot kUninstaller[] = {
    {1134, 1135, "title"},
    {1136, 1137, "confirm"},
    {1138, 1139, "done"},
    {1140, 1144, "yes"},
    {1141, 1144, "yesToAll"},
    {1142, 1144, "no"},
    {1143, 1144, "noToAll"},
    {1031, 1123, "outOfMemory"},
    {1145, 1146, "invalidInfo"},
    {1147, 1148, "writeProtected"},
    {1169, 1170, "unusedSystemFile"},
};

constexpr Slot kChooseVersion[] = {
    {1190, 1033, "title"},
    {1191, 1034, "text1"},
    {1192, 1035, "text2"},
};

// Three reserved slots keep the Browse caption at text number 3.
constexpr Slot kExtra[] = {
    {0, 0, "reserved1"},
    {0, 0, "reserved2"},
    {0, 0, "reserved3"},
    {1240, 1239, "browseButton"},
};

struct Page {
    std::span<const Slot> slots;
    int nameId;       // 0 = not listed on the Wizard Texts page
    const char* key;  // the page's name in a project as text
};

constexpr Page kPages[kTextPageCount] = {
    {kPresentation, 1196, "presentation"},
    {kInformation, 1197, "information"},
    {kDirectory, 1198, "directory"},
    {kConfirmation, 1199, "confirmation"},
    {kProgress, 1200, "progress"},
    {kEnd, 1201, "end"},
    {kMiscellaneous, 1202, "messages"},
    {kButtons, 1203, "buttons"},
    {kUninstaller, 0, "uninstaller"},
    {kChooseVersion, 1204, "versionChoice"},
    {kExtra, 0, "extra"},
};

static_assert(std::size(kPresentation) == 5 && std::size(kInformation) == 3 &&
                  std::size(kDirectory) == 8 && std::size(kConfirmation) == 5 &&
                  std::size(kProgress) == 3 && std::size(kEnd) == 9 &&
                  std::size(kMiscellaneous) == 32 && std::size(kButtons) == 7 &&
                  std::size(kUninstaller) == 11 && std::size(kChooseVersion) == 3 &&
                  std::size(kExtra) == 4,
              "slot counts are part of the file formats");

const Slot* FindSlot(int page, int text)
{
    if (page < 0 || page >= kTextPageCount) return nullptr;
    const auto& slots = kPages[page].slots;
    if (text < 0 || static_cast<size_t>(text) >= slots.size()) return nullptr;
    return &slots[static_cast<size_t>(text)];
}

}  // namespace

int CTextCatalogue::TextCount(int page)
{
    if (page < 0 || page >= kTextPageCount) return 0;
    return static_cast<int>(kPages[page].slots.size());
}

int CTextCatalogue::DefaultTextId(int page, int text)
{
    const Slot* slot = FindSlot(page, text);
    return slot ? slot->textId : 0;
}

int CTextCatalogue::UsageId(int page, int text)
{
    const Slot* slot = FindSlot(page, text);
    return slot ? slot->usageId : 0;
}

std::string CTextCatalogue::GetDefaultText(int page, int text)
{
    int id = DefaultTextId(page, text);
    return id ? LoadString(id) : std::string();
}

std::vector<std::vector<std::string>> CTextCatalogue::DefaultTexts()
{
    std::vector<std::vector<std::string>> texts(kTextPageCount);
    for (int page = 0; page < kTextPageCount; ++page) {
        for (int text = 0; text < TextCount(page); ++text) {
            texts[page].push_back(GetDefaultText(page, text));
        }
    }
    return texts;
}

std::string CTextCatalogue::GetUsage(int page, int text)
{
    int id = UsageId(page, text);
    return id ? LoadString(id) : std::string();
}

int CTextCatalogue::PageNameId(int page)
{
    if (page < 0 || page >= kTextPageCount) return 0;
    return kPages[page].nameId;
}

const char* CTextCatalogue::PageKey(int page)
{
    if (page < 0 || page >= kTextPageCount) return "";
    return kPages[page].key;
}

const char* CTextCatalogue::SlotKey(int page, int text)
{
    const Slot* slot = FindSlot(page, text);
    return slot ? slot->key : "";
}

std::string CTextCatalogue::GetPageName(int page)
{
    int id = PageNameId(page);
    return id ? LoadString(id) : std::string();
}

}  // namespace velkan
