#include "gui/CPatchPage.h"

#include <QKeyEvent>
#include <QResizeEvent>

#include "gui/CInstallSheet.h"
#include "gui/CSetwellApp.h"
#include "gui/CSetwellDoc.h"
#include "gui/HelpTopics.h"

namespace velkan {

CPatchPage::CPatchPage(CInstallSheet* sheet, int templateId, const QString& caption,
                       QSize designSize)
    : QWidget(nullptr),
      m_sheet(sheet),
      m_nTemplateId(templateId),
      m_strCaption(caption),
      m_designSize(designSize)
{
    setMinimumSize(Dlu(0, 0, designSize.width(), designSize.height()).size());
}

bool CPatchPage::EnsureCreated()
{
    if (m_bCreated) return true;
    m_bCreated = true;
    bool result = InitPage();
    QRect design = Dlu(0, 0, m_designSize.width(), m_designSize.height());
    m_layout.Attach(this, GetAnchorTable(), design);
    m_initialRect = design;
    m_layout.Resize(width(), height());
    OnSizeChanged(width(), height());
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) child->show();
    // A page shown the first time may have read the disk (the Files page scans).
    GetDocument().ProjectShown();
    return result;
}

CSetwellDoc& CPatchPage::GetDocument() const
{
    return m_sheet->GetDocument();
}

CData* CPatchPage::GetCurrent() const
{
    return m_sheet->GetCurrent();
}

void CPatchPage::SetProjectModified()
{
    GetDocument().RecordEdit(tr("%1 Change").arg(m_strCaption));
}

QRect CPatchPage::Dlu(int x, int y, int width, int height) const
{
    QFontMetrics metrics = fontMetrics();
    // The average width of the 52 letters, as dialog units are defined.
    double baseX =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0;
    double baseY = metrics.height();
    auto hx = [baseX](int units) { return static_cast<int>(units * baseX / 4.0 + 0.5); };
    auto hy = [baseY](int units) { return static_cast<int>(units * baseY / 8.0 + 0.5); };
    return QRect(hx(x), hy(y), hx(width), hy(height));
}

QWidget* CPatchPage::Place(QWidget* control, int id, int x, int y, int width, int height)
{
    control->setParent(this);
    if (id != 0) control->setObjectName(CAnchorLayout::ControlName(id));
    control->setGeometry(Dlu(x, y, width, height));
    return control;
}

void CPatchPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    int width = event->size().width();
    int height = event->size().height();
    if ((width == 0 && height == 0) || m_initialRect.isEmpty()) return;
    m_layout.Resize(width, height);
    OnSizeChanged(width, height);
}

void CPatchPage::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        CSetwellApp::Help(kHelpContextBase + static_cast<uint32_t>(GetHelpId()), true);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace velkan
