#include "gui/TemplatesFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "gui/QtText.h"

namespace velkan {

namespace {

QString& Override()
{
    static QString folder;
    return folder;
}

}  // namespace

void OverrideTemplatesFolder(const QString& folder)
{
    Override() = folder.isEmpty() || folder.endsWith('/') ? folder : folder + "/";
}

QString GetTemplatesFolder()
{
    if (!Override().isEmpty()) return Override();
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

QString TemplateFile(const QString& language)
{
    QString folder = GetTemplatesFolder();
    QString exact = folder + language + ".txt";
    if (QFileInfo(exact).isFile()) return exact;
    for (const QFileInfo& file : QDir(folder).entryInfoList({"*.txt"}, QDir::Files, QDir::Name)) {
        if (file.completeBaseName().compare(language, Qt::CaseInsensitive) == 0 &&
            file.suffix().compare("txt", Qt::CaseInsensitive) == 0) {
            return file.filePath();
        }
    }
    return exact;
}

}  // namespace velkan
