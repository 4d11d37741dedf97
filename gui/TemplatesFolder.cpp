#include "gui/TemplatesFolder.h"

#include <QFileInfo>

#include "core/wizard/LanguageTemplates.h"
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

QString EditorTemplatesFolder()
{
    if (!Override().isEmpty()) return Override();
    // Host paths are UTF-8.
    QString beside = QString::fromStdString(GetTemplatesFolder());
    if (QFileInfo(beside).isDir()) return beside;
    QString source = QStringLiteral(VELKAN_TEMPLATES_SOURCE_DIR) + "/";
    if (QFileInfo(source).isDir()) return source;
    return beside;
}

QStringList TemplateLanguages()
{
    QStringList languages;
    for (const std::string& language :
         ListTemplateLanguages(EditorTemplatesFolder().toStdString())) {
        languages << ToQt(language);
    }
    return languages;
}

}  // namespace velkan
