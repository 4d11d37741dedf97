// velkanc extract: rebuilds the files of one version of a setup program under a directory.
// Entry paths come from the program and are untrusted: a path that would leave the directory
// ("..", an absolute path, a drive letter) or that Windows would refuse is refused, and the files
// are written through CConfinedFolder, so links already in the directory are never followed.
#include <cstdio>
#include <exception>
#include <stdexcept>

#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "cli/EntryFacts.h"
#include "cli/ExternalFolder.h"
#include "cli/VersionChoice.h"
#include "core/package/CPackageReader.h"
#include "core/package/EntryPath.h"
#include "core/package/PackageFormat.h"
#include "core/package/ShownName.h"
#include "core/platform/CConfinedFolder.h"
#include "core/platform/CodePage.h"

namespace velkan::cli {

namespace {

const CommandOptions kOptions{{"--version", "--to", "--external"}, {"--json"}};

int RunExtract(const std::vector<std::string>& args)
{
    CArgParser p(args, kOptions);
    const bool json = p.Has("--json");
    p.ExpectPositional(1, 1);
    auto to = p.Value("--to");
    if (!to) throw UsageError{"--to DIR is required"};
    const std::string& path = p.Positional()[0];

    std::unique_ptr<CPackageReader> reader;
    try {
        reader = CPackageReader::OpenFile(path);
        reader->Read();
        UseExternalFolder(*reader, path, p.Value("--external"));
    } catch (const std::exception& e) {
        throw CommandError{e.what()};
    }
    const auto& versions = reader->Contents().versions;
    std::vector<std::string> names, titles;
    for (const auto& version : versions) {
        names.push_back(version.block.name);
        titles.push_back(version.block.title);
    }
    size_t v = ChooseVersionIndex(names, titles, p.Value("--version"), path);
    std::unique_ptr<CConfinedFolder> folder;
    try {
        folder = std::make_unique<CConfinedFolder>(*to);
    } catch (const std::exception& e) {
        throw CommandError{e.what()};
    }

    size_t written = 0, skipped = 0, failed = 0;
    JsonValue entries = JsonValue::Array();
    const auto& files = versions[v].files;
    for (size_t e = 0; e < files.size(); ++e) {
        const CFileEntry& entry = files[e];
        if (entry.m_nFlags & package::kEntryUninstaller) continue;  // its data is not a file
        JsonValue facts = EntryFacts(*reader, v, e);
        if (entry.IsExternal() || entry.HasNoData()) {
            const char* why = entry.IsExternal() ? "kept external" : "no data";
            if (!json) std::printf("skipped %s (%s)\n", ShownName(entry.m_strPath).c_str(), why);
            facts.Set("result", std::string("skipped: ") + why);
            entries.Add(facts);
            ++skipped;
            continue;
        }
        std::string reason;
        std::vector<std::string> parts;
        for (const std::string& part : SplitEntryPath(entry.m_strPath, reason)) {
            parts.push_back(Cp1252ToUtf8(part));
        }
        if (parts.empty()) {
            std::fprintf(stderr, "velkanc: %s: %s: refused path (%s)\n", path.c_str(),
                         reader->DescribeEntry(v, e).c_str(), reason.c_str());
            facts.Set("result", "refused path (" + reason + ")");
            entries.Add(facts);
            ++failed;
            continue;
        }
        std::string relative;
        for (const std::string& part : parts) relative += (relative.empty() ? "" : "/") + part;
        try {
            folder->WriteFile(parts, ShownName(entry.m_strPath), [&](IByteSink& out) {
                uint32_t sum = reader->RebuildFile(v, e, out);
                if ((sum ^ reader->Contents().key) != entry.m_nChecksum) {
                    throw std::runtime_error(path + ": " + reader->DescribeEntry(v, e) +
                                             ": checksum mismatch");
                }
            });
            if (!json) std::printf("%s\n", EscapeControls(relative).c_str());
            facts.Set("result", "written");
            facts.Set("file", relative);
            ++written;
        } catch (const std::exception& error) {
            std::fprintf(stderr, "velkanc: %s\n", error.what());
            facts.Set("result", std::string("failed: ") + error.what());
            ++failed;
        }
        entries.Add(facts);
    }
    if (json) {
        JsonValue report = VersionFacts(*reader, v);
        report.Set("path", path);
        report.Set("to", *to);
        report.Set("written", static_cast<uint64_t>(written));
        report.Set("skipped", static_cast<uint64_t>(skipped));
        report.Set("failed", static_cast<uint64_t>(failed));
        report.Set("entries", entries);
        const std::string text = report.ToJson() + "\n";
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else {
        std::printf("%zu files written, %zu skipped, %zu failed\n", written, skipped, failed);
    }
    return failed ? kExitFailure : kExitOk;
}

const bool registered = RegisterCommand({
    "extract",
    "rebuild the files of one version of a setup program",
    "Usage: velkanc extract SETUP [--version V] --to DIR [--external EXT] [--json]\n"
    "\n"
    "Rebuilds every file of version V of the setup program under DIR, unpacking its\n"
    "stream or applying its delta (reading the continuation files SETUP.D01, ... when the data\n"
    "spans disks), and checks each against its stored checksum. Backslashes in entry paths\n"
    "become directory separators and names are converted from Windows-1252 to UTF-8. Entries\n"
    "whose path would leave DIR (\"..\", absolute paths, drive letters) or holds a name Windows\n"
    "refuses are refused, and so is a symbolic link met inside DIR; entries\n"
    "kept external or without data are listed as skipped. Exit status 1 when any entry failed.\n"
    "\n"
    "  --version V   the version: its number counting from 1, or its name or title, in any\n"
    "                case (default: the first)\n"
    "  --to DIR      the directory to write the files under\n"
    "  --external EXT  the folder holding the files kept outside the program, which deltas\n"
    "                of later versions are rebuilt from (default: beside SETUP)\n"
    "  --json        one JSON document: the version (numbered from 1) and every entry with\n"
    "                its facts and its result (written, skipped or failed, with the reason)\n",
    RunExtract,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
