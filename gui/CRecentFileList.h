// The recent-file list of the File menu: four paths, newest first, kept in the settings section
// "Recent File List" as "File1" to "File4".
#pragma once

#include <QStringList>

namespace velkan {

class CRecentFileList {
public:
    static constexpr int kSize = 4;

    // Reads the list from the settings.
    void Load();
    // Puts path first (removing an older entry of it) and writes the list.
    void Add(const QString& path);
    void Remove(const QString& path);
    const QStringList& Paths() const { return m_paths; }

private:
    void Save() const;

    QStringList m_paths;
};

}  // namespace velkan
