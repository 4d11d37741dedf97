// The templates folder: one wizard text file per language, named after the language. It is the
// folder "Templ" beside the program; a build that is not installed uses the source tree's.
#pragma once

#include <QString>

namespace velkan {

// The folder with a trailing separator.
QString GetTemplatesFolder();
// The languages of the templates folder for the new-project wizard: the title of every "*.txt"
// file (not a directory) other than "English" in any case, then "English".
QStringList TemplateLanguages();

}  // namespace velkan
