#include "runtime/WizardDialogs.h"

#include <string>

#include "runtime/wizard/TemplateBytes.h"

namespace velkan::runtime {

namespace {

// Window and control styles, by value, so this file needs no Windows header.
constexpr uint32_t kWsPopup = 0x80000000, kWsChild = 0x40000000, kWsVisible = 0x10000000;
constexpr uint32_t kWsCaption = 0x00C00000, kWsSysMenu = 0x00080000;
constexpr uint32_t kWsVScroll = 0x00200000, kWsGroup = 0x00020000, kWsTabStop = 0x00010000;
constexpr uint32_t kDsModalFrame = 0x80, kDsControl = 0x400;
constexpr uint32_t kBsDefPush = 0x1, kBsAutoCheck = 0x3;
constexpr uint32_t kSsLeft = 0x0, kSsBitmap = 0xE, kSsSunken = 0x1000;
constexpr uint32_t kEsMultiline = 0x4, kEsAutoHScroll = 0x80, kEsReadOnly = 0x800;
constexpr uint32_t kLbsNotify = 0x1, kCbsDropDownList = 0x3;

struct Item {
    ControlClass cls;
    uint16_t id;
    uint32_t style;
    int16_t x, y, cx, cy;
    const char* text;
};

struct Dialog {
    const char* title;
    uint32_t style;
    int16_t cx, cy;
    std::vector<Item> items;
};

constexpr uint32_t kChild = kWsChild | kWsVisible;
constexpr uint32_t kPage = kWsChild | kDsControl | kDsSetFont;

// Texts are placeholders: the runtime sets every caption from the version's wizard texts.
std::vector<Dialog> Definitions(bool withBitmap)
{
    int16_t frameWidth = withBitmap ? kFrameWidthWithBitmap : kFrameWidth;
    int16_t left = withBitmap ? 58 : 6;
    Dialog frame{"Setup",
                 kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont,
                 frameWidth,
                 170,
                 {}};
    frame.items = {
        {kStatic, kIdPageArea, kChild | kSsLeft, left, 6, 224, 132, ""},
        {kButton, kIdBack, kChild | kWsTabStop | kWsGroup, static_cast<int16_t>(frameWidth - 174),
         146, 52, 14, "< &Back"},
        {kButton, kIdNext, kChild | kWsTabStop | kBsDefPush, static_cast<int16_t>(frameWidth - 120),
         146, 52, 14, "&Next >"},
        {kButton, kIdCancel, kChild | kWsTabStop, static_cast<int16_t>(frameWidth - 58), 146, 52,
         14, "E&xit"},
    };
    if (withBitmap)
        frame.items.push_back(
            {kStatic, kIdBitmap, kChild | kSsBitmap | kSsSunken, 6, 6, 46, 132, ""});

    auto texts = [](std::initializer_list<Item> more) {
        std::vector<Item> items = {
            {kStatic, kIdTitle, kChild, 0, 0, 224, 12, ""},
            {kStatic, kIdText1, kChild, 0, 16, 224, 24, ""},
        };
        items.insert(items.end(), more);
        return items;
    };
    // Presentation and Confirmation: the page's texts, one under the other.
    const Dialog textRows = {"", kPage, 224, 132,
                             texts({
                                 {kStatic, kIdText2, kChild, 0, 44, 224, 24, ""},
                                 {kStatic, kIdText3, kChild, 0, 72, 224, 24, ""},
                                 {kStatic, kIdText4, kChild, 0, 100, 224, 24, ""},
                             })};
    std::vector<Dialog> d;
    d.push_back(frame);
    d.push_back(textRows);
    d.push_back({"",
                 kPage,
                 224,
                 132,
                 {{kStatic, kIdTitle, kChild, 0, 0, 224, 12, ""},
                  {kEdit, kIdScrollText,
                   kChild | kWsBorder | kWsVScroll | kEsMultiline | kEsReadOnly | kWsTabStop, 0, 16,
                   224, 116, ""}}});
    d.push_back({"", kPage, 224, 132,
                 texts({
                     {kEdit, kIdDirEdit, kChild | kWsBorder | kEsAutoHScroll | kWsTabStop, 0, 44,
                      168, 12, ""},
                     {kButton, kIdBrowse, kChild | kWsTabStop, 172, 43, 52, 14, "B&rowse"},
                     {kStatic, kIdText2, kChild, 0, 62, 224, 16, ""},
                     {kStatic, kIdText3, kChild, 0, 80, 224, 16, ""},
                     {kStatic, kIdSpaceNeeded, kChild, 0, 100, 224, 10, ""},
                     {kStatic, kIdSpaceFree, kChild, 0, 110, 224, 10, ""},
                     {kStatic, kIdText4, kChild, 0, 122, 224, 10, ""},
                 })});
    d.push_back(textRows);
    d.push_back({"",
                 kPage,
                 224,
                 132,
                 {
                     {kStatic, kIdTitle, kChild, 0, 0, 224, 12, ""},
                     {kStatic, kIdText1, kChild, 0, 16, 40, 10, ""},
                     {kStatic, kIdFileName, kChild, 42, 16, 182, 10, ""},
                     {kProgressBar, kIdProgress, kChild | kWsBorder, 0, 30, 224, 10, ""},
                     {kListBox, kIdReport, kChild | kWsBorder | kWsVScroll, 0, 46, 224, 86, ""},
                 }});
    d.push_back({"", kPage, 224, 132,
                 texts({
                     {kStatic, kIdText2, kChild, 0, 44, 224, 24, ""},
                     {kButton, kIdView, kChild | kWsTabStop, 0, 70, 100, 14, ""},
                     {kStatic, kIdText3, kChild, 0, 90, 224, 24, ""},
                     {kButton, kIdRun, kChild | kWsTabStop | kBsAutoCheck, 0, 116, 224, 12, ""},
                 })});
    d.push_back(
        {"", kPage, 224, 132,
         texts({{kListBox, kIdVersionList,
                 kChild | kWsBorder | kWsVScroll | kLbsNotify | kWsTabStop, 0, 44, 224, 70, ""},
                {kStatic, kIdText2, kChild, 0, 118, 224, 12, ""}})});
    d.push_back(
        {"Please select a directory",
         kWsPopup | kWsCaption | kWsSysMenu | kDsModalFrame | kDsSetFont,
         200,
         160,
         {
             {kStatic, kIdText1, kChild, 6, 6, 188, 10, "Directory name:"},
             {kEdit, kIdDirEdit, kChild | kWsBorder | kEsAutoHScroll | kWsTabStop, 6, 18, 188, 12,
              ""},
             {kListBox, kIdFolderList, kChild | kWsBorder | kWsVScroll | kLbsNotify | kWsTabStop, 6,
              34, 188, 76, ""},
             {kStatic, kIdText2, kChild, 6, 114, 188, 10, "Drives"},
             {kComboBox, kIdDriveCombo, kChild | kCbsDropDownList | kWsVScroll | kWsTabStop, 6, 124,
              188, 80, ""},
             {kButton, kIdNext, kChild | kWsTabStop | kBsDefPush, 86, 142, 52, 14, "OK"},
             {kButton, kIdCancel, kChild | kWsTabStop, 142, 142, 52, 14, "&Cancel"},
         }});
    d.push_back(
        {"",
         kWsPopup | kWsCaption | kDsModalFrame | kDsSetFont,
         220,
         80,
         {
             {kStatic, kIdText1, kChild, 8, 8, 204, 44, ""},
             {kButton, kIdNext, kChild | kWsTabStop | kBsDefPush, 104, 60, 52, 14, "&Restart"},
             {kButton, kIdCancel, kChild | kWsTabStop, 160, 60, 52, 14, "OK"},
         }});
    d.push_back({"",
                 kWsPopup | kWsCaption | kDsModalFrame | kDsSetFont,
                 240,
                 84,
                 {
                     {kStatic, kIdText1, kChild, 8, 8, 224, 48, ""},
                     {kButton, kIdYes, kChild | kWsTabStop | kBsDefPush, 8, 64, 52, 14, "&Yes"},
                     {kButton, kIdYesAll, kChild | kWsTabStop, 64, 64, 52, 14, "Yes to &all"},
                     {kButton, kIdNo, kChild | kWsTabStop, 124, 64, 52, 14, "&No"},
                     {kButton, kIdNoAll, kChild | kWsTabStop, 180, 64, 52, 14, "No t&o all"},
                 }});
    d.push_back({"Uninstall",
                 kWsPopup | kWsCaption | kDsModalFrame | kDsSetFont,
                 220,
                 70,
                 {
                     {kStatic, kIdFileName, kChild, 8, 8, 204, 10, ""},
                     {kProgressBar, kIdProgress, kChild | kWsBorder, 8, 22, 204, 10, ""},
                     {kButton, kIdCancel, kChild | kWsTabStop, 160, 50, 52, 14, "&Cancel"},
                 }});
    return d;
}

constexpr const char* kFontName = "MS Sans Serif";
constexpr uint16_t kFontSize = 8;

// Windows-1252 texts here are ASCII, so each byte is its own UTF-16 unit.
void PutWide(std::vector<uint8_t>& out, const char* text)
{
    for (const char* p = text; *p; ++p) Put16(out, static_cast<uint8_t>(*p));
    Put16(out, 0);
}

void PutNarrow(std::vector<uint8_t>& out, const char* text)
{
    out.insert(out.end(), text, text + std::char_traits<char>::length(text));
    out.push_back(0);
}

// Win32 DLGTEMPLATE: header, menu 0, class 0, title, font; items DWORD-aligned.
void PutWideTemplate(std::vector<uint8_t>& out, const Dialog& d)
{
    size_t start = out.size();
    Put32(out, d.style);
    Put32(out, 0);
    Put16(out, static_cast<uint16_t>(d.items.size()));
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint16_t>(d.cx));
    Put16(out, static_cast<uint16_t>(d.cy));
    Put16(out, 0);
    Put16(out, 0);
    PutWide(out, d.title);
    Put16(out, kFontSize);
    PutWide(out, kFontName);
    for (const Item& item : d.items) {
        AlignDword(out, start);
        Put32(out, item.style);
        Put32(out, 0);
        Put16(out, static_cast<uint16_t>(item.x));
        Put16(out, static_cast<uint16_t>(item.y));
        Put16(out, static_cast<uint16_t>(item.cx));
        Put16(out, static_cast<uint16_t>(item.cy));
        Put16(out, item.id);
        if (item.cls == kProgressBar) {
            PutWide(out, kProgressClass);
        } else {
            Put16(out, 0xFFFF);
            Put16(out, item.cls);
        }
        PutWide(out, item.text);
        Put16(out, 0);  // no creation data
    }
    AlignDword(out, start);
}

// Windows 3.1 DLGTEMPLATE: 8-bit strings, a byte item count and a byte class, no alignment.
void PutNarrowTemplate(std::vector<uint8_t>& out, const Dialog& d)
{
    Put32(out, d.style);
    out.push_back(static_cast<uint8_t>(d.items.size()));
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint16_t>(d.cx));
    Put16(out, static_cast<uint16_t>(d.cy));
    out.push_back(0);  // menu
    out.push_back(0);  // class
    PutNarrow(out, d.title);
    Put16(out, kFontSize);
    PutNarrow(out, kFontName);
    for (const Item& item : d.items) {
        Put16(out, static_cast<uint16_t>(item.x));
        Put16(out, static_cast<uint16_t>(item.y));
        Put16(out, static_cast<uint16_t>(item.cx));
        Put16(out, static_cast<uint16_t>(item.cy));
        Put16(out, item.id);
        uint32_t style = item.style;
        uint8_t cls = item.cls;
        if (cls == kProgressBar) {
            cls = kStatic;
            style = kChild | kSsBlackFrame;  // the bar is drawn inside the frame
        }
        Put32(out, style);
        out.push_back(cls);
        PutNarrow(out, item.text);
        out.push_back(0);  // no creation data
    }
}

}  // namespace

std::vector<uint8_t> BuildDialogBlock(bool win31, bool withBitmap)
{
    std::vector<Dialog> dialogs = Definitions(withBitmap);
    std::vector<uint8_t> block(kDialogBlockTableSize, 0);
    for (size_t i = 0; i < dialogs.size(); ++i) {
        uint32_t offset = static_cast<uint32_t>(block.size());
        for (int b = 0; b < 4; ++b) block[4 * i + b] = static_cast<uint8_t>(offset >> (8 * b));
        if (win31) {
            PutNarrowTemplate(block, dialogs[i]);
        } else {
            PutWideTemplate(block, dialogs[i]);
        }
    }
    return block;
}

}  // namespace velkan::runtime
