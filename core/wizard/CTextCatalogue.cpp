// The catalogue is a constant table of (default text id, usage note id) pairs per page. Counts and
// order are part of the project file and the package: texts are stored and written by position,
// so a slot is only ever appended to a page, never inserted or moved.
#include "core/wizard/CTextCatalogue.h"

#include <span>

#include "core/res/StringTable.h"

namespace velkan {

namespace {

struct Slot {
    int textId;   // default text; 0 = reserved slot, empty by default
    int usageId;  // usage note; 0 = none
};

constexpr Slot kPresentation[] = {
    {1023, 1033}, {1010, 1034}, {1013, 1035}, {1014, 1036}, {1015, 1037},
};

constexpr Slot kInformation[] = {
    {2007, 1033},
    {1021, 2009},
    {1021, 1242},
};

constexpr Slot kDirectory[] = {
    {1024, 1033}, {1016, 1034}, {1021, 1035}, {1021, 1036},
    {1002, 1037}, {1171, 1172}, {1173, 1174}, {1175, 1176},
};

constexpr Slot kConfirmation[] = {
    {1025, 1033}, {1021, 1034}, {1017, 1035}, {1021, 1036}, {1018, 1037},
};

constexpr Slot kProgress[] = {
    {1026, 1033},
    {1020, 1034},
    {1021, 1035},
};

constexpr Slot kEnd[] = {
    {1027, 1033}, {1011, 1132}, {1021, 1160}, {1021, 1161}, {1012, 1133},
    {1162, 1163}, {1164, 1165}, {1208, 1209}, {1021, 1241},
};

constexpr Slot kMiscellaneous[] = {
    {1022, 1038}, {1055, 1059}, {1056, 1060}, {1057, 1061},  //  0- 3
    {1051, 1052}, {1050, 1113}, {1110, 1114}, {1105, 1116},  //  4- 7
    {1053, 1117}, {1104, 1120}, {1111, 1121}, {1108, 1122},  //  8-11
    {1031, 1123}, {1029, 1039}, {1032, 1040}, {1030, 1041},  // 12-15
    {1071, 1124}, {1072, 1125}, {1092, 1126}, {1093, 1127},  // 16-19
    {1094, 1128}, {1103, 1129}, {1073, 1100}, {1096, 1112},  // 20-23
    {1097, 1112}, {1098, 1112}, {1099, 1112}, {1101, 1112},  // 24-27
    {2014, 2016}, {1177, 1178}, {1179, 1180}, {1236, 1237},  // 28-31
};

constexpr Slot kButtons[] = {
    {1000, 1043}, {1001, 1044}, {1003, 1045}, {1004, 1047},
    {1006, 1058}, {1005, 1046}, {1206, 1207},
};

constexpr Slot kUninstaller[] = {
    {1134, 1135}, {1136, 1137}, {1138, 1139}, {1140, 1144}, {1141, 1144}, {1142, 1144},
    {1143, 1144}, {1031, 1123}, {1145, 1146}, {1147, 1148}, {1169, 1170},
};

constexpr Slot kChooseVersion[] = {
    {1190, 1033},
    {1191, 1034},
    {1192, 1035},
};

// Three reserved slots keep the Browse caption at text number 3.
constexpr Slot kExtra[] = {
    {0, 0},
    {0, 0},
    {0, 0},
    {1240, 1239},
};

struct Page {
    std::span<const Slot> slots;
    int nameId;  // 0 = not listed on the Wizard Texts page
};

constexpr Page kPages[kTextPageCount] = {
    {kPresentation, 1196},  {kInformation, 1197}, {kDirectory, 1198},
    {kConfirmation, 1199},  {kProgress, 1200},    {kEnd, 1201},
    {kMiscellaneous, 1202}, {kButtons, 1203},     {kUninstaller, 0},
    {kChooseVersion, 1204}, {kExtra, 0},
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

std::string CTextCatalogue::GetPageName(int page)
{
    int id = PageNameId(page);
    return id ? LoadString(id) : std::string();
}

}  // namespace velkan
