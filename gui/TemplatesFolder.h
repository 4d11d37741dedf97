// The templates folder: one wizard text file per language, named after the language. It is the
// folder "Templ" beside the program; a build that is not installed uses the source tree's.
#pragma once

#include <QString>

namespace velkan {

// The folder with a trailing separator.
QString GetTemplatesFolder();
// Puts another folder in its place (empty: the usual one again); for tests.
void OverrideTemplatesFolder(const QString& folder);
// The languages of the templates folder for the new-project wizard: the title of every "*.txt"
// file (not a directory) other than "English" in any case, then "English".
QStringList TemplateLanguages();
// The template file of a language: the folder's "*.txt" file of that title, its letter case
// aside as on Windows (English is english.txt too); the exact name when none exists.
QString TemplateFile(const QString& language);

}  // namespace velkan
