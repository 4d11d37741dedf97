// A tab whose page comes in a later version (Wizard Texts, Wizard Options, Install info,
// Uninstaller): it keeps the tab's place, caption and help topic, and says so.
#pragma once

#include "gui/CPatchPage.h"

namespace velkan {

class CPlaceholderPage : public CPatchPage {
    Q_OBJECT
public:
    CPlaceholderPage(CInstallSheet* sheet, int templateId, const QString& caption);

    int GetHelpId() const override { return GetTemplateId(); }
    bool InitPage() override;
    const AnchorEntry* GetAnchorTable() const override;
};

}  // namespace velkan
