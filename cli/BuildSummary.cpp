#include "cli/BuildSummary.h"

#include <filesystem>

#include "cli/EntryFacts.h"
#include "core/package/CPackageReader.h"
#include "core/package/PackageFormat.h"
#include "core/stream/Sha256.h"

namespace velkan::cli {

CBuildSummary SummarizeProgram(const std::string& path, const std::string& output, bool withEntries)
{
    CBuildSummary s;
    s.output = output;
    s.size = std::filesystem::file_size(path);
    s.sha256 = Sha256OfFile(path);
    auto reader = CPackageReader::OpenFile(path);
    reader->Read();
    const auto& versions = reader->Contents().versions;
    s.versions = versions.size();
    for (size_t v = 0; v < versions.size(); ++v) {
        for (const auto& entry : versions[v].files) {
            if (entry.m_nFlags & package::kEntryDelta) ++s.deltas;
        }
        if (!withEntries) continue;
        JsonValue version = VersionFacts(*reader, v);
        JsonValue entries = JsonValue::Array();
        for (size_t e = 0; e < versions[v].files.size(); ++e)
            entries.Add(EntryFacts(*reader, v, e));
        version.Set("entries", entries);
        s.versionList.Add(version);
    }
    return s;
}

void CBuildSummary::Print(std::FILE* out) const
{
    std::fprintf(out,
                 "%u file(s) stored, %llu bytes packed to %llu; %zu version(s), %zu delta(s); "
                 "%.1f s\n",
                 result.storedFiles, static_cast<unsigned long long>(result.uncompressedBytes),
                 static_cast<unsigned long long>(result.compressedBytes), versions, deltas,
                 seconds);
    std::fprintf(out, "%s: %llu bytes", output.c_str(), static_cast<unsigned long long>(size));
    if (result.continuationFiles > 0) {
        std::fprintf(out, " and %d continuation file(s)", result.continuationFiles);
    }
    std::fprintf(out, ", SHA-256 %s\n", sha256.c_str());
    for (const std::string& note : notes) std::fprintf(out, "note: %s\n", note.c_str());
    std::fflush(out);
}

JsonValue CBuildSummary::ToJson() const
{
    JsonValue o = JsonValue::Object();
    JsonValue program = JsonValue::Object();
    program.Set("path", output);
    program.Set("size", size);
    program.Set("sha256", sha256);
    program.Set("continuationFiles", result.continuationFiles);
    o.Set("output", program);
    o.Set("storedFiles", result.storedFiles);
    o.Set("uncompressedBytes", result.uncompressedBytes);
    o.Set("compressedBytes", result.compressedBytes);
    o.Set("deltas", static_cast<uint64_t>(deltas));
    o.Set("milliseconds", static_cast<int64_t>(seconds * 1000 + 0.5));
    JsonValue warningList = JsonValue::Array();
    for (const std::string& w : warnings) warningList.Add(w);
    o.Set("warnings", warningList);
    JsonValue noteList = JsonValue::Array();
    for (const std::string& n : notes) noteList.Add(n);
    o.Set("notes", noteList);
    o.Set("versions", versionList);
    return o;
}

}  // namespace velkan::cli
