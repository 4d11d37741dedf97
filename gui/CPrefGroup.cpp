#include "gui/CPrefGroup.h"

#include <QSettings>

#include "gui/QtText.h"

namespace velkan {

CPrefGroup::CPrefGroup(QString section, QStringList names, std::vector<int> defaultIds)
    : m_strSection(std::move(section)),
      m_names(std::move(names)),
      m_defaultIds(std::move(defaultIds))
{
}

CPrefGroup CPrefGroup::General()
{
    return CPrefGroup("General", {"wizard"}, {2000});
}

CPrefGroup CPrefGroup::Output()
{
    return CPrefGroup("Output", {"output_ratio", "output_packedsize", "output_originalsize"},
                      {2001, 2002, 2003});
}

int CPrefGroup::Get(int index) const
{
    if (index < 0 || index >= m_names.size()) return 0;
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    bool ok = false;
    int value = settings.value(m_strSection + "/" + m_names[index]).toInt(&ok);
    if (ok) return value;
    return LoadQString(m_defaultIds[static_cast<size_t>(index)]).toInt();
}

QString CPrefGroup::SignCommand()
{
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    return settings.value("Output/sign_command").toString();
}

void CPrefGroup::SetSignCommand(const QString& command)
{
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    settings.setValue("Output/sign_command", command);
}

DeltaSearch CPrefGroup::DeltaSearchChoice()
{
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    const QString name = settings.value("Output/delta_search").toString();
    return DeltaSearchFromName(name.toStdString()).value_or(DeltaSearch::Window);
}

void CPrefGroup::SetDeltaSearchChoice(DeltaSearch search)
{
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    settings.setValue("Output/delta_search", QString::fromLatin1(DeltaSearchName(search)));
}

bool CPrefGroup::ShareEqualFiles()
{
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    return settings.value("Output/share_equal_files").toInt() != 0;
}

void CPrefGroup::SetShareEqualFiles(bool share)
{
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    settings.setValue("Output/share_equal_files", share ? 1 : 0);
}

void CPrefGroup::Set(int index, int value) const
{
    if (index < 0 || index >= m_names.size()) return;
    QSettings settings(kSettingsOrganization, kSettingsApplication);
    settings.setValue(m_strSection + "/" + m_names[index], value);
}

}  // namespace velkan
