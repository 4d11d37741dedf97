#include "gui/CFolderBrowser.h"

#include <QDir>
#include <QFileInfo>

#include "gui/CUserPrompt.h"
#include "gui/QtText.h"

namespace velkan {

namespace {
constexpr int kMaxPath = 260;
}

CFolderBrowser::CFolderBrowser(QWidget* owner, const QString& initialFolder)
    : m_owner(owner), m_strFolder(NormalizeInitialFolder(initialFolder))
{
}

QString CFolderBrowser::NormalizeInitialFolder(const QString& folder)
{
    QString result = folder.left(kMaxPath - 1);
    while (result.endsWith('\\') || (result.endsWith('/') && result.size() > 1)) result.chop(1);
    return result;
}

bool CFolderBrowser::CanOpenOn(const QString& folder)
{
    if (folder.isEmpty()) return false;
    QFileInfo info(folder);
    return info.isDir() && info.isExecutable();
}

bool CFolderBrowser::IsAcceptable(const QString& selection)
{
    return !selection.isEmpty() && QFileInfo(selection).isDir();
}

CFolderBrowser::Result CFolderBrowser::Browse(const QString& title)
{
    QString caption = title.isEmpty() ? LoadQString(9020).left(300) : title;
    // A folder that cannot be entered is not preselected: the dialog opens on its default place.
    QString start = CanOpenOn(m_strFolder) ? m_strFolder : QString();
    QString chosen = CUserPrompt::FolderName(m_owner, caption, start);
    if (!IsAcceptable(chosen)) return Cancelled;
    m_strFolder = NormalizeInitialFolder(QDir::toNativeSeparators(chosen));
    if (m_strFolder.isEmpty()) m_strFolder = QDir::separator();
    return Chosen;
}

}  // namespace velkan
