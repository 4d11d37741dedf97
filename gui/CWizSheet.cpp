#include "gui/CWizSheet.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "gui/CSetwellApp.h"
#include "gui/CWizPages.h"
#include "gui/CWizardTest.h"
#include "gui/HelpTopics.h"
#include "gui/QtText.h"

namespace velkan {

namespace {

// The side picture of every page: a deep blue band with the installer's box, framed sunken.
class CSidePicture : public QWidget {
public:
    explicit CSidePicture(QWidget* parent) : QWidget(parent) { setFixedWidth(120); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QRect area = rect().adjusted(0, 0, -1, -1);
        QLinearGradient gradient(area.topLeft(), area.bottomLeft());
        gradient.setColorAt(0, QColor(0, 0, 160));
        gradient.setColorAt(1, QColor(0, 0, 40));
        painter.fillRect(area, gradient);
        // A closed box with a disk, the picture of a setup program.
        QRect box(area.center().x() - 30, area.center().y() - 20, 60, 50);
        painter.setPen(QPen(QColor(255, 255, 255, 200), 2));
        painter.setBrush(QColor(210, 160, 60));
        painter.drawRect(box);
        painter.drawLine(box.left(), box.top() + 12, box.right(), box.top() + 12);
        painter.setBrush(QColor(40, 40, 40));
        painter.drawEllipse(QPoint(box.center().x(), box.center().y() + 6), 12, 12);
        painter.setPen(palette().color(QPalette::Shadow));
        painter.drawLine(area.topLeft(), area.topRight());
        painter.drawLine(area.topLeft(), area.bottomLeft());
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(area.bottomLeft(), area.bottomRight());
        painter.drawLine(area.topRight(), area.bottomRight());
    }
};

}  // namespace

// ---------------------------------------------------------------- CWizPage

CWizPage::CWizPage(CWizSheet* sheet, int templateId, const QString& caption)
    : QWidget(nullptr), m_sheet(sheet), m_nTemplateId(templateId), m_strCaption(caption)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

CDataArray& CWizPage::Project() const
{
    return m_sheet->Result();
}

CData& CWizPage::Version() const
{
    return m_sheet->Version();
}

void CWizPage::OnSetActive()
{
    SetButtons(CWizSheet::Back | CWizSheet::Next);
}

void CWizPage::SetButtons(int buttons)
{
    if (buttons == m_nLastButtons) return;
    m_nLastButtons = buttons;
    m_sheet->SetButtons(buttons);
}

QString CWizPage::InSourceDir(const QString& typed) const
{
    QString source = ToQt(Version().m_strSourceDir);
    QString name = QString(typed).replace('\\', '/');
    QString relative;
    if (QDir::isRelativePath(name)) {
        relative = QDir::cleanPath(name);
    } else {
        QString dir = QString(source).replace('\\', '/');
        if (!dir.endsWith('/')) dir += '/';
        if (!name.startsWith(dir, Qt::CaseInsensitive)) return QString();
        relative = QDir::cleanPath(name.mid(dir.size()));
    }
    if (relative.isEmpty() || relative == "." || relative == ".." || relative.startsWith("../"))
        return QString();
    return source + relative;
}

QString CWizPage::Problem() const
{
    return m_problem ? m_problem->text() : QString();
}

void CWizPage::SetProblem(const QString& text)
{
    if (!m_problem) {
        if (text.isEmpty()) return;
        m_problem = new QLabel(this);
        m_problem->setWordWrap(true);
        m_problem->setStyleSheet("color: #b00000");
        static_cast<QVBoxLayout*>(layout())->addWidget(m_problem);
    }
    m_problem->setText(text);
    m_problem->setVisible(!text.isEmpty());
}

QLabel* CWizPage::AddText(const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setWordWrap(true);
    static_cast<QVBoxLayout*>(layout())->addWidget(label);
    return label;
}

// ---------------------------------------------------------------- CWizSheet

CWizSheet::CWizSheet(QWidget* parent)
    : QDialog(parent),
      m_stack(new QStackedWidget(this)),
      m_caption(new QLabel(this)),
      m_back(new QPushButton(tr("< &Back"), this)),
      m_next(new QPushButton(tr("&Next >"), this)),
      m_finish(new QPushButton(tr("&Finish"), this))
{
    m_result.m_versions.emplace_back();
    m_result.m_nCurrent = 0;
    m_pages = {new CWelcomePage(this),   new CDirectoryPage(this),  new CTitlePage(this),
               new CShellPage(this),     new CInfoPage(this),       new CWindowPage(this),
               new CBitmapsPage(this),   new CInstallDirPage(this), new CEndOptionsPage(this),
               new CUninstallPage(this), new CEndPage(this)};

    QFont captionFont = m_caption->font();
    captionFont.setBold(true);
    captionFont.setPointSizeF(captionFont.pointSizeF() * 1.2);
    m_caption->setFont(captionFont);
    auto* right = new QVBoxLayout;
    right->addWidget(m_caption);
    right->addWidget(m_stack, 1);
    auto* body = new QHBoxLayout;
    body->addWidget(new CSidePicture(this));
    body->addSpacing(10);
    body->addLayout(right, 1);

    auto* cancel = new QPushButton(tr("Cancel"), this);
    auto* help = new QPushButton(tr("&Help"), this);
    for (QPushButton* button : {m_back, m_next, m_finish, cancel, help})
        button->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addWidget(m_finish);
    buttons->addSpacing(10);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);

    for (CWizPage* page : m_pages) m_stack->addWidget(page);
    connect(m_back, &QPushButton::clicked, this, &CWizSheet::GoBack);
    connect(m_next, &QPushButton::clicked, this, &CWizSheet::GoNext);
    connect(m_finish, &QPushButton::clicked, this, &CWizSheet::DoFinish);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] {
        if (CWizPage* page = m_pages.value(CurrentIndex())) {
            CSetwellApp::Help(kHelpContextBase + static_cast<uint32_t>(page->GetTemplateId()),
                              true);
        }
    });
    resize(640, 400);
    ShowPage(0);
}

int CWizSheet::CurrentIndex() const
{
    return m_stack->currentIndex();
}

void CWizSheet::ShowPage(int index)
{
    CWizPage* page = m_pages.value(index);
    if (!page) return;
    m_stack->setCurrentIndex(index);
    // The page's caption is the wizard's title.
    setWindowTitle(page->GetCaption());
    m_caption->setText(page->GetCaption());
    page->m_nLastButtons = -1;
    if (!page->m_bShown) {
        page->m_bShown = true;
        page->OnFirstShow();
    }
    page->OnSetActive();
}

void CWizSheet::SetButtons(int buttons)
{
    m_back->setEnabled((buttons & Back) != 0);
    bool finish = (buttons & Finish) != 0;
    m_finish->setVisible(finish);
    m_next->setVisible(!finish);
    m_next->setEnabled((buttons & Next) != 0);
    (finish ? m_finish : m_next)->setDefault(true);
}

int CWizSheet::ButtonState() const
{
    int state = 0;
    if (m_back->isEnabled()) state |= Back;
    if (!m_next->isHidden() && m_next->isEnabled()) state |= Next;
    if (!m_finish->isHidden() && m_finish->isEnabled()) state |= Finish;
    return state;
}

void CWizSheet::GoNext()
{
    if (!(ButtonState() & Next)) return;
    int index = CurrentIndex();
    m_pages[index]->OnKillActive();
    ShowPage(index + 1);
}

void CWizSheet::GoBack()
{
    if (!(ButtonState() & Back)) return;
    int index = CurrentIndex();
    m_pages[index]->OnKillActive();
    ShowPage(index - 1);
}

void CWizSheet::DoFinish()
{
    if (!(ButtonState() & Finish)) return;
    CWizPage* page = m_pages[CurrentIndex()];
    page->OnKillActive();
    page->OnWizardFinish();
    accept();
}

void CWizSheet::Preview(int startPage)
{
    CWizardTest::Run(m_result, startPage, this);
}

QString CWizSheet::IconFile() const
{
    CShellPage* page = PageOf<CShellPage>();
    return page->InSourceDir(page->IconFile());
}

QString CWizSheet::IconName() const
{
    return PageOf<CShellPage>()->IconName();
}

bool CWizSheet::Shortcut() const
{
    return PageOf<CShellPage>()->Shortcut();
}

QString CWizSheet::ViewFile() const
{
    CEndOptionsPage* page = PageOf<CEndOptionsPage>();
    return page->InSourceDir(page->ViewFile());
}

QString CWizSheet::RunFile() const
{
    CEndOptionsPage* page = PageOf<CEndOptionsPage>();
    return page->InSourceDir(page->RunFile());
}

bool CWizSheet::Uninstaller() const
{
    return PageOf<CUninstallPage>()->Uninstaller();
}

}  // namespace velkan
