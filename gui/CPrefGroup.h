// A group of integer preferences in one settings section. Every Get reads the settings again
// (there is no cache), falling back to the default text of the value's string id.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace velkan {

// The settings root: organisation "Orvanti", application "Velkan".
inline constexpr char kSettingsOrganization[] = "Orvanti";
inline constexpr char kSettingsApplication[] = "Velkan";

class CPrefGroup {
public:
    // Indices of the two groups.
    enum GeneralIndex { PrefWizard = 0 };
    enum OutputIndex { PrefOutputRatio = 0, PrefOutputPackedSize = 1, PrefOutputOriginalSize = 2 };

    CPrefGroup(QString section, QStringList names, std::vector<int> defaultIds);

    static CPrefGroup General();
    static CPrefGroup Output();

    int Get(int index) const;
    void Set(int index, int value) const;

    // The command that signs what a build writes ("%1" is the file); empty: builds are not signed.
    static QString SignCommand();
    static void SetSignCommand(const QString& command);

private:
    QString m_strSection;
    QStringList m_names;
    std::vector<int> m_defaultIds;
};

}  // namespace velkan
