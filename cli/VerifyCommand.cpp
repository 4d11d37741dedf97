// velkanc verify: decodes every section, stream and delta of a setup program and checks every
// file against its stored checksum.
#include <cstdio>
#include <exception>

#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "cli/EntryFacts.h"
#include "cli/ExternalFolder.h"
#include "core/package/CPackageException.h"
#include "core/package/CPackageReader.h"
#include "core/stream/CFileException.h"

namespace velkan::cli {

namespace {

const CommandOptions kOptions{{"--external"}, {"--json"}};

int RunVerify(const std::vector<std::string>& args)
{
    CArgParser p(args, kOptions);
    const bool json = p.Has("--json");
    p.ExpectPositional(1, 1);
    const std::string& path = p.Positional()[0];
    std::unique_ptr<CPackageReader> reader;
    try {
        reader = CPackageReader::OpenFile(path);
        reader->Read();
        reader->VerifySections();
        reader->LoadDataChunks();
        UseExternalFolder(*reader, path, p.Value("--external"));
    } catch (const std::exception& e) {
        throw CommandError{e.what()};
    }
    const auto& versions = reader->Contents().versions;
    size_t checked = 0, failed = 0;
    JsonValue versionList = JsonValue::Array();
    for (size_t v = 0; v < versions.size(); ++v) {
        JsonValue version = VersionFacts(*reader, v);
        JsonValue entries = JsonValue::Array();
        for (size_t e = 0; e < versions[v].files.size(); ++e) {
            ++checked;
            JsonValue entry = EntryFacts(*reader, v, e);
            try {
                reader->VerifyFile(v, e);
                entry.Set("ok", true);
            } catch (const std::exception& error) {
                ++failed;
                entry.Set("ok", false);
                entry.Set("error", error.what());
                if (!json) std::printf("FAILED %s\n", error.what());
            }
            entries.Add(entry);
        }
        version.Set("entries", entries);
        versionList.Add(version);
    }
    if (json) {
        JsonValue report = JsonValue::Object();
        report.Set("path", path);
        report.Set("ok", failed == 0);
        report.Set("checked", static_cast<uint64_t>(checked));
        report.Set("failed", static_cast<uint64_t>(failed));
        report.Set("versions", versionList);
        const std::string text = report.ToJson() + "\n";
        std::fwrite(text.data(), 1, text.size(), stdout);
        return failed ? kExitFailure : kExitOk;
    }
    if (failed) {
        std::printf("%zu of %zu entries failed\n", failed, checked);
        return kExitFailure;
    }
    std::printf("OK: %zu %s in %zu %s\n", checked, checked == 1 ? "entry" : "entries",
                versions.size(), versions.size() == 1 ? "version" : "versions");
    return kExitOk;
}

const bool registered = RegisterCommand({
    "verify",
    "check every stream, delta and checksum of a setup program",
    "Usage: velkanc verify SETUP [--external DIR] [--json]\n"
    "\n"
    "Reads every section of the setup program, rebuilds the file of every file table entry of\n"
    "every version (unpacking its stream or applying its delta, across the continuation files\n"
    "SETUP.D01, ...) and compares it with the stored checksum. Prints each failure; the exit\n"
    "status is 0 only when everything passes. A delta against a file kept outside the program\n"
    "is rebuilt from that file, found beside SETUP or under DIR.\n"
    "\n"
    "  --external DIR   the folder holding the files kept outside the program\n"
    "  --json           one JSON document: every version and entry (numbered from 1) with\n"
    "                   its facts and \"ok\", or \"error\" with the reason\n",
    RunVerify,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
