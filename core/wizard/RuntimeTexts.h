// The install runtime's own texts: the few words the setup program and the uninstaller show that
// no slot of the author's texts holds (the all-users box, refusals, the product lock, what an
// uninstall left behind). They come in every language the language templates offer, and the
// runtime shows them in the language of the package's texts (TextLanguage). UTF-8.
//
// One array per text, so that each program links only the texts it shows.
#pragma once

#include <cstddef>

namespace velkan {

// The languages of the templates folder, English first (the built-in texts).
enum class RuntimeLanguage {
    English,
    Danish,
    Dutch,
    Finnish,
    French,
    German,
    Italian,
    Norwegian,
    Portuguese,
    Spanish,
    Swedish,
};
constexpr size_t kRuntimeLanguageCount = 11;

// One text in every language, in the order of RuntimeLanguage.
using RuntimeText = const char* const[kRuntimeLanguageCount];

constexpr const char* InLanguage(const RuntimeText& text, RuntimeLanguage language)
{
    return text[static_cast<size_t>(language)];
}

// The name of a language as its template file is named ("French" for French.txt).
const char* RuntimeLanguageName(RuntimeLanguage language);

// The Directory page's choice of place, shown when the person may install for everyone.
extern RuntimeText kTextAllUsers;
// A drive root or a folder Windows shares as installation directory (after the folder's name).
extern RuntimeText kTextProtectedFolder;
// A folder name Windows cannot hold (after the folder's name).
extern RuntimeText kTextBadFolderName;
// Another run of the same product holds its lock.
extern RuntimeText kTextAlreadyRunning;
// A setup program too damaged to have texts of its own.
extern RuntimeText kTextInvalidData;
// An uninstaller without a readable data block and texts of its own.
extern RuntimeText kTextInvalidUninstallInfo;
// What an uninstall could not remove: the heading, then one line per item (a "%s" for its path).
extern RuntimeText kTextNotAllRemoved;
extern RuntimeText kTextLeftInUse;
extern RuntimeText kTextLeftDenied;
// Every item is gone but files in use, which the next restart removes.
extern RuntimeText kTextRemovedAtRestart;

}  // namespace velkan
