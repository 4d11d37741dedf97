// The command line: one project path and the build switch (/B or -B), for unattended builds.
#pragma once

#include <QString>
#include <QStringList>

namespace velkan {

class CVelkanCommandLine {
public:
    // One argument, with flag telling whether it began with '/' or '-' (which is then cut off).
    void ParseParam(const QString& param, bool flag);
    // Every argument after the program's name.
    void ParseArguments(const QStringList& arguments);

    QString m_strFileName;
    bool m_bBuild = false;
};

}  // namespace velkan
