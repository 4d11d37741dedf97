// velkanc new: a new default project whose file list is the scan of a source directory, as New
// followed by choosing that directory on the Files page gives.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "cli/ArgParser.h"
#include "core/syntax/PathMacros.h"
#include "cli/CommandRegistry.h"
#include "cli/ProjectIo.h"
#include "core/model/ProjectFile.h"
#include "core/platform/CodePage.h"
#include "core/platform/ProjectFolder.h"
#include "core/stream/CFileException.h"
#include "core/wizard/LanguageTemplates.h"

namespace velkan::cli {

namespace {

// Starts the version's texts from a language template, as the new-project wizard's language list
// does. The name is matched without regard to case; an unknown one lists those there are.
void ApplyLanguage(CData& version, const std::string& language)
{
    const std::string folder = GetTemplatesFolder();
    const std::vector<std::string> languages = ListTemplateLanguages(folder);
    auto name = Utf8ToCp1252(language);
    auto known = std::find_if(languages.begin(), languages.end(), [&](const std::string& l) {
        return name && EqualNoCase1252(l, *name);
    });
    if (known == languages.end()) {
        std::string list;
        for (const std::string& l : languages) list += (list.empty() ? "" : ", ") + Cp1252ToUtf8(l);
        throw CommandError{"unknown language \"" + language + "\"; the languages are: " + list +
                           " (templates in " + folder + ")"};
    }
    try {
        ApplyLanguageTemplate(version.m_texts, folder, *known);
    } catch (const CFileException& e) {
        throw CommandError{e.what()};
    }
}

// The menu command that inserts "#Program Files#".
constexpr int kProgramFilesMacroCommand = 5002;

const CommandOptions kOptions{{"--source", "--title", "--language", "-o"},
                              {"--no-subdirs", "--follow-outside-links"}};

int RunNew(const std::vector<std::string>& args)
{
    CArgParser p(args, kOptions);
    p.ExpectPositional(0, 0);
    auto source = p.Value("--source");
    auto out = p.Value("-o");
    if (!source) throw UsageError{"--source DIR is required"};
    if (!out) throw UsageError{"-o OUT is required"};

    std::error_code ec;
    std::filesystem::path dir = std::filesystem::absolute(*source, ec);
    if (ec || !std::filesystem::is_directory(dir, ec)) {
        throw CommandError{*source + ": not a directory"};
    }
    std::string hostDir = dir.lexically_normal().string();
    if (hostDir.empty() || hostDir.back() != '/') hostDir += '/';

    CDataArray project = NewProject();
    CData& version = project.m_versions[0];
    // Stored relative to the project when it lies in the project's folder, so the two move
    // together.
    version.m_strSourceDir =
        ToProjectText(RelativeToFolder(hostDir, ProjectFolderOf(*out)), "the source directory");
    version.m_bSubDirs = p.Has("--no-subdirs") ? 0 : 1;
    if (auto title = p.Value("--title")) {
        // One title everywhere a new author would look for it, and a folder to install into, so
        // the setup program installs with /S alone.
        version.m_strTitle = ToProjectText(*title, "the title");
        project.m_strBackTitle = version.m_strTitle;
        version.m_strInstallDir = std::string(FindPathMacro(kProgramFilesMacroCommand)->token) +
                                  "\\" + version.m_strTitle;
    }
    if (auto language = p.Value("--language")) ApplyLanguage(version, *language);
    try {
        for (const std::string& note :
             version.m_files.ScanDirectory(hostDir, hostDir, version.m_bSubDirs != 0, nullptr,
                                           p.Has("--follow-outside-links"))) {
            std::fprintf(stderr, "velkanc: note: %s\n", note.c_str());
        }
    } catch (const CFileException& e) {
        throw CommandError{e.what()};
    }
    SaveProjectOrFail(project, *out);
    std::printf("%s: a project with one version, %zu file(s) from %s\n", out->c_str(),
                version.m_files.size(), hostDir.c_str());
    return kExitOk;
}

const bool registered = RegisterCommand({
    "new",
    "make a new project from a source directory",
    "Usage: velkanc new --source DIR [--title TITLE] [--language NAME] [--no-subdirs]\n"
    "                   [--follow-outside-links] -o OUT\n"
    "\n"
    "Writes a new project with one version, \"Default\", whose source directory is DIR (stored\n"
    "relative to the project's folder when it lies inside it, else absolute; with a trailing\n"
    "separator) and whose file list is every file under DIR, with the\n"
    "default options (shared DLL usage counts for .dll and .ocx files). Only regular files are\n"
    "listed: FIFOs, sockets, devices, links to nothing and links to files outside DIR are\n"
    "skipped with a note; a name with a backslash or one Windows refuses stops the scan.\n"
    "\n"
    "  --source DIR    the directory holding the files to install\n"
    "  --title TITLE   the product title (default \"MyProduct\"), also the full-screen title;\n"
    "                  the installation folder becomes #Program Files#\\TITLE\n"
    "  --language NAME the language of the install program's texts: English (the default),\n"
    "                  or the name of a template in the Templ folder beside velkanc (French,\n"
    "                  German, ...; any case). The wizard and uninstaller texts start from it.\n"
    "  --no-subdirs    only the files directly in DIR, not those of its sub-directories\n"
    "  --follow-outside-links\n"
    "                  list links to files outside DIR too (their contents are packed)\n"
    "  -o OUT          the project file to write\n",
    RunNew,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
