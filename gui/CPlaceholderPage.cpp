#include "gui/CPlaceholderPage.h"

#include <QLabel>

namespace velkan {

namespace {
constexpr int kTextId = 1;
constexpr AnchorEntry kAnchors[] = {{kTextId, CAnchorLayout::AnchorStretchWidth}, {0, 0}};
}  // namespace

CPlaceholderPage::CPlaceholderPage(CInstallSheet* sheet, int templateId, const QString& caption)
    : CPatchPage(sheet, templateId, caption, QSize(330, 200))
{
}

bool CPlaceholderPage::InitPage()
{
    auto* text = new QLabel(tr("The \"%1\" page is not available in this version of Velkan: "
                               "it comes with a later version. The project keeps its settings "
                               "for this page unchanged.")
                                .arg(GetCaption()),
                            this);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(text, kTextId, 10, 10, 310, 40);
    return true;
}

const AnchorEntry* CPlaceholderPage::GetAnchorTable() const
{
    return kAnchors;
}

}  // namespace velkan
