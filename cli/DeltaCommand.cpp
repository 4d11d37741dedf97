// velkanc delta OLD NEW OUT: the version delta of NEW against OLD, exactly as a build stores it.
#include <cstdio>

#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "core/delta/CDeltaEncoder.h"
#include "core/delta/CDeltaException.h"
#include "core/platform/AtomicFile.h"
#include "core/stream/CFileException.h"

namespace velkan::cli {
namespace {

const CommandOptions kOptions{{"--delta-search"}, {"-q", "--quiet"}};

int RunDelta(const std::vector<std::string>& args)
{
    CArgParser parser(args, kOptions);
    parser.ExpectPositional(3, 3);
    const std::string& oldPath = parser.Positional()[0];
    const std::string& newPath = parser.Positional()[1];
    const std::string& outPath = parser.Positional()[2];
    const DeltaSearch search = parser.DeltaSearchOption();
    uint64_t written = 0;
    try {
        WriteFileAtomically(outPath, [&](CFile& out) {
            written = EncodeDelta(out, newPath, oldPath, nullptr, 0, 10000, "", search);
        });
    } catch (const CFileException& e) {
        throw CommandError{e.what()};
    } catch (const CDeltaException& e) {
        throw CommandError{e.what()};
    }
    if (!parser.Has("-q") && !parser.Has("--quiet")) {
        std::printf("%s: %llu bytes\n", outPath.c_str(), static_cast<unsigned long long>(written));
    }
    return kExitOk;
}

const bool registered = RegisterCommand({
    "delta",
    "write the version delta of a file against its earlier version",
    "Usage: velkanc delta [-q] [--delta-search window|global] OLD NEW OUT\n"
    "\n"
    "Writes to OUT the delta that rebuilds NEW from OLD, byte for byte as a build stores it\n"
    "for a file that changed between two versions: a command and a literal sub-stream, each\n"
    "packed when that makes it smaller. 'velkanc patch OLD OUT NEW' applies it (OUT being the "
    "delta).\n"
    "OUT is written through a temporary file beside it and replaced only when complete.\n"
    "\n"
    "  -q, --quiet   print nothing (otherwise the delta's size)\n"
    "  --delta-search S  window (default: the delta a build stores) or global: copies from\n"
    "                anywhere in OLD, as 'velkanc build --delta-search global' stores them\n",
    RunDelta,
    kOptions,
});

}  // namespace
}  // namespace velkan::cli
