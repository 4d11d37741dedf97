#include "gui/TemplatesFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "gui/QtText.h"

namespace velkan {

QString GetTemplatesFolder()
{
    QString beside = QCoreApplication::applicationDirPath() + "/Templ/";
    if (QFileInfo(beside).isDir()) return beside;
    QString source = QStringLiteral(VELKAN_TEMPLATES_SOURCE_DIR) + "/";
    if (QFileInfo(source).isDir()) return source;
    return beside;
}

QStringList TemplateLanguages()
{
    const QString english = LoadQString(1107);
    QStringList languages;
    QDir folder(GetTemplatesFolder());
    for (const QFileInfo& file : folder.entryInfoList({"*.txt"}, QDir::Files, QDir::Name)) {
        QString title = file.completeBaseName();
        if (title.compare(english, Qt::CaseInsensitive) != 0) languages << title;
    }
    languages << english;
    return languages;
}

}  // namespace velkan
