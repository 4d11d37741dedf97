// The templates folder: one wizard text file per language, named after the language. It is the
// folder "Templ" beside the program; a build that is not installed uses the source tree's.
#pragma once

#include <QString>

namespace velkan {

// The folder with a trailing separator.
QString EditorTemplatesFolder();
// Puts another folder in its place (empty: the usual one again); for tests.
void OverrideTemplatesFolder(const QString& folder);
// The languages of the templates folder for the new-project wizard, "English" among them once,
// sorted without regard to case (the engine's list, as Qt text).
QStringList TemplateLanguages();

}  // namespace velkan
