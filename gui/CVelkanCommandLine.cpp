#include "gui/CVelkanCommandLine.h"

#include <QFileInfo>

namespace velkan {

void CVelkanCommandLine::ParseParam(const QString& param, bool flag)
{
    if (flag) {
        if (param.startsWith('B') || param.startsWith('b')) m_bBuild = true;
        return;
    }
    QString name = param.trimmed();
    // A caller that passes the quotes on leaves them around the path (a lone '"' becomes empty).
    if (!name.isEmpty() && name.startsWith('"') && name.endsWith('"')) {
        name = name.mid(1, qMax(0, name.size() - 2));
    }
    m_strFileName = name;
}

void CVelkanCommandLine::ParseArguments(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        bool flag = argument.startsWith('/') || argument.startsWith('-');
        // An absolute path begins with '/' too: it is a file name when it holds a further '/' or
        // names an existing file.
        if (flag && argument.startsWith('/') &&
            (argument.indexOf('/', 1) > 0 || QFileInfo::exists(argument))) {
            flag = false;
        }
        ParseParam(flag ? argument.mid(1) : argument, flag);
    }
}

}  // namespace velkan
