// velkanc texts export / import: a version's wizard texts to and from a translation text file.
#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "cli/ProjectIo.h"
#include "cli/VersionChoice.h"
#include "core/stream/CFileException.h"
#include "core/wizard/WizardTextFile.h"

namespace velkan::cli {

namespace {

const CommandOptions kOptions{{"--version"}, {}};

int RunExport(const std::vector<std::string>& args)
{
    CArgParser p(args, kOptions);
    p.ExpectPositional(2, 2);
    CDataArray project = LoadProjectOrFail(p.Positional()[0]);
    const CData& version = ChooseVersion(project, p.Value("--version"), p.Positional()[0]);
    try {
        WriteTextsFile(version.m_texts, p.Positional()[1]);
    } catch (const CFileException& e) {
        throw CommandError{e.what()};
    }
    return kExitOk;
}

int RunImport(const std::vector<std::string>& args)
{
    CArgParser p(args, kOptions);
    p.ExpectPositional(2, 2);
    const std::string& projectPath = p.Positional()[0];
    CDataArray project = LoadProjectOrFail(projectPath);
    CData& version = ChooseVersion(project, p.Value("--version"), projectPath);
    try {
        ReadTextsFile(version.m_texts, p.Positional()[1]);
    } catch (const CFileException& e) {
        throw CommandError{e.what()};
    }
    SaveProjectOrFail(project, projectPath);
    return kExitOk;
}

const char* const kVersionHelp =
    "  --version V   the version: its number counting from 1, or its name (default: the first)\n";

const bool registeredExport = RegisterCommand({
    "texts export",
    "write a version's wizard texts to a text file",
    std::string("Usage: velkanc texts export PROJECT FILE [--version V]\n"
                "\n"
                "Writes every wizard text of the version to FILE, each under a marker line *PPTT*\n"
                "(page and text number), in the Windows-1252 code page with CR LF line ends: the\n"
                "format of the editor's Export Wizard Texts, ready for translation.\n"
                "\n") +
        kVersionHelp,
    RunExport,
    kOptions,
});

const bool registeredImport = RegisterCommand({
    "texts import",
    "read a version's wizard texts from a text file",
    std::string("Usage: velkanc texts import PROJECT FILE [--version V]\n"
                "\n"
                "Reads the texts of FILE (the export format) into the version and writes PROJECT\n"
                "back. Texts whose marker is missing keep their value; markers outside the\n"
                "catalogue are ignored.\n"
                "\n") +
        kVersionHelp,
    RunImport,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
