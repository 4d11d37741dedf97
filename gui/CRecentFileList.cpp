#include "gui/CRecentFileList.h"

#include <QSettings>

#include "gui/CPrefGroup.h"

namespace velkan {

namespace {
constexpr char kSection[] = "Recent File List";
}

void CRecentFileList::Load()
{
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    m_paths.clear();
    for (int i = 1; i <= kSize; ++i) {
        QString path = settings.value(QString("%1/File%2").arg(kSection).arg(i)).toString();
        if (!path.isEmpty() && !m_paths.contains(path)) m_paths << path;
    }
}

void CRecentFileList::Add(const QString& path)
{
    if (path.isEmpty()) return;
    m_paths.removeAll(path);
    m_paths.prepend(path);
    while (m_paths.size() > kSize) m_paths.removeLast();
    Save();
}

void CRecentFileList::Remove(const QString& path)
{
    if (m_paths.removeAll(path) > 0) Save();
}

void CRecentFileList::Save() const
{
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    for (int i = 1; i <= kSize; ++i) {
        QString key = QString("%1/File%2").arg(kSection).arg(i);
        if (i <= m_paths.size()) {
            settings.setValue(key, m_paths[i - 1]);
        } else {
            settings.remove(key);
        }
    }
}

}  // namespace velkan
