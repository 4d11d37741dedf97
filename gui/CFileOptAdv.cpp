#include "gui/CFileOptAdv.h"

#include <QCheckBox>
#include <QVBoxLayout>
#include <array>

#include "core/model/FileOption.h"
#include "gui/CFilesPage.h"

namespace velkan {

namespace {

enum BoxId {
    IdWindows = 1074,
    IdSystem = 1075,
    IdFonts = 1076,
    IdUsageCount = 1122,
    IdNoUninstall = 1123,
    IdNoInstall = 1124,
    IdCreateDir = 1127,
    IdScreenSaver = 1125,
    IdOcx = 1126,
    IdKeepExternal = 1128,
};

}  // namespace

CFileOptAdv::CFileOptAdv(CFilesPage* filesPage) : COptPage(filesPage, kTemplateId)
{
    const std::pair<int, const char*> boxes[] = {
        {IdWindows, "Install file(s) in &Windows directory"},
        {IdSystem, "Install file(s) in &System directory"},
        {IdFonts, "Install font(s) in &Fonts directory"},
        {IdUsageCount, "Increment DLL usage &count"},
        {IdNoInstall, "Do &not install this file"},
        {IdNoUninstall, "Do not &uninstall this file"},
        {IdCreateDir, "Do not install, but cre&ate directory"},
        {IdScreenSaver, "Install as current screen sa&ver"},
        {IdOcx, "Register OC&X control(s)"},
        {IdKeepExternal, "&Keep external"},
    };
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    for (const auto& [id, text] : boxes) {
        auto* box = new QCheckBox(tr(text), this);
        m_boxes.emplace_back(id, box);
        layout->addWidget(box);
        // Group breaks: destination, usage count, install mode, registration, external.
        if (id == IdFonts || id == IdUsageCount || id == IdCreateDir || id == IdOcx) {
            layout->addSpacing(4);
        }
        connect(box, &QCheckBox::clicked, this,
                [this, boxId = id](bool checked) { OnClick(boxId, checked); });
    }
    layout->addStretch(1);
}

QCheckBox* CFileOptAdv::Box(int id) const
{
    for (const auto& [boxId, box] : m_boxes) {
        if (boxId == id) return box;
    }
    return nullptr;
}

void CFileOptAdv::Refresh()
{
    std::array<int, kFileOptionCount> values{};
    std::array<int, kFileOptionCount> enabled{};
    FilesPage()->GetSelectionOptions(values, enabled);
    auto show = [this](int id, bool enable, bool checked) {
        QCheckBox* box = Box(id);
        box->setEnabled(enable);
        box->setChecked(enable && checked);
    };
    int v = values[OptDestination];
    bool e = enabled[OptDestination] != 0;
    show(IdWindows, e, v == DestWindows);
    show(IdSystem, e, v == DestSystem);
    show(IdFonts, e, v == DestFonts);
    show(IdUsageCount, enabled[OptUsageCount] != 0, values[OptUsageCount] == OptionOn);
    v = values[OptInstallMode];
    e = enabled[OptInstallMode] != 0;
    show(IdNoUninstall, e, v == InstallKeep);
    show(IdNoInstall, e, v == InstallSkip);
    show(IdCreateDir, e, v == InstallDirectoryOnly);
    v = values[OptSpecial];
    e = enabled[OptSpecial] != 0;
    show(IdScreenSaver, e, v == SpecialScreenSaver);
    show(IdOcx, e, v == SpecialRegisterOcx);
    show(IdKeepExternal, enabled[OptKeepExternal] != 0, values[OptKeepExternal] == OptionOn);
}

int CFileOptAdv::GroupValue(const std::vector<GroupBox>& group, int clicked, bool checked,
                            int empty)
{
    int value = empty;
    for (const GroupBox& member : group) {
        if (member.id == clicked) {
            if (checked) value = member.value;
            continue;
        }
        if (checked) {
            Box(member.id)->setChecked(false);
        } else if (Box(member.id)->isChecked()) {
            value = member.value;
        }
    }
    return value;
}

void CFileOptAdv::OnClick(int id, bool checked)
{
    static const std::vector<GroupBox> destination = {
        {IdWindows, DestWindows}, {IdSystem, DestSystem}, {IdFonts, DestFonts}};
    static const std::vector<GroupBox> installMode = {{IdNoUninstall, InstallKeep},
                                                      {IdNoInstall, InstallSkip},
                                                      {IdCreateDir, InstallDirectoryOnly}};
    static const std::vector<GroupBox> special = {{IdScreenSaver, SpecialScreenSaver},
                                                  {IdOcx, SpecialRegisterOcx}};
    switch (id) {
    case IdWindows:
    case IdSystem:
    case IdFonts:
        FilesPage()->SetSelectionOption(OptDestination,
                                        GroupValue(destination, id, checked, DestInstallDir));
        // The usage count box depends on the destination.
        Refresh();
        break;
    case IdUsageCount:
        FilesPage()->SetSelectionOption(OptUsageCount, checked ? OptionOn : OptionOff);
        break;
    case IdNoUninstall:
    case IdNoInstall:
    case IdCreateDir:
        FilesPage()->SetSelectionOption(OptInstallMode,
                                        GroupValue(installMode, id, checked, InstallNormal));
        break;
    case IdScreenSaver:
    case IdOcx:
        FilesPage()->SetSelectionOption(OptSpecial, GroupValue(special, id, checked, SpecialNone));
        break;
    case IdKeepExternal:
        FilesPage()->SetSelectionOption(OptKeepExternal, checked ? OptionOn : OptionOff);
        break;
    default: break;
    }
}

}  // namespace velkan
