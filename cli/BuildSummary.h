// What velkanc build reports of a finished build: read back from the setup program it wrote (so
// the facts are the program's, not the build's intentions) and printed as a short summary or as
// one JSON document for CI. Notes (a removed leftover file, a change to the file list) and the
// warnings have their place in both.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/model/JsonValue.h"
#include "core/builder/CInstallBuild.h"

namespace velkan::cli {

struct CBuildSummary {
    std::string output;  // as the user named it ("-": standard output)
    uint64_t size = 0;   // bytes of the program (the first file of a spanned one)
    std::string sha256;
    size_t versions = 0;
    size_t deltas = 0;
    JsonValue versionList = JsonValue::Array();  // per version its facts and entries
    BuildResult result;
    double seconds = 0;
    std::vector<std::string> warnings;
    std::vector<std::string> notes;

    // A few lines: the files and sizes, versions, deltas, time, the output with its size and
    // SHA-256, then the notes.
    void Print(std::FILE* out) const;
    JsonValue ToJson() const;
};

// Reads the program at path (a host path) for the summary; output is how messages name it.
// The per-entry facts (versionList) are gathered only withEntries: the JSON report alone shows
// them, and they cost a large build a noticeable pause after its last file. Throws on a program
// that cannot be read.
CBuildSummary SummarizeProgram(const std::string& path, const std::string& output,
                               bool withEntries);

}  // namespace velkan::cli
