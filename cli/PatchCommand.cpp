// velkanc patch OLD DELTA OUT: rebuilds a file from its earlier version and a version delta.
#include <cstdio>

#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "core/delta/CDeltaDecoder.h"
#include "core/delta/CDeltaException.h"
#include "core/delta/CFileDeltaReference.h"
#include "core/platform/AtomicFile.h"
#include "core/stream/CFileException.h"

namespace velkan::cli {
namespace {

const CommandOptions kOptions{{{"--size"}}, {"-q", "--quiet"}};

int RunPatch(const std::vector<std::string>& args)
{
    CArgParser parser(args, kOptions);
    parser.ExpectPositional(3, 3);
    const std::string& oldPath = parser.Positional()[0];
    const std::string& deltaPath = parser.Positional()[1];
    const std::string& outPath = parser.Positional()[2];
    std::optional<uint64_t> expected;
    if (auto size = parser.Number("--size")) expected = static_cast<uint64_t>(*size);
    uint64_t written = 0;
    try {
        const std::vector<unsigned char> delta = ReadWholeFile(deltaPath);
        CFileDeltaReference reference(oldPath);
        WriteFileAtomically(outPath, [&](CFile& out) {
            written = CDeltaDecoder::Apply(delta.data(), delta.size(), reference, out, expected);
        });
    } catch (const CFileException& e) {
        throw CommandError{e.what()};
    } catch (const CDeltaException& e) {
        throw CommandError{deltaPath + ": " + e.what()};
    }
    if (!parser.Has("-q") && !parser.Has("--quiet")) {
        std::printf("%s: %llu bytes\n", outPath.c_str(), static_cast<unsigned long long>(written));
    }
    return kExitOk;
}

const bool registered = RegisterCommand({
    "patch",
    "rebuild a file from its earlier version and a version delta",
    "Usage: velkanc patch [-q] [--size N] OLD DELTA OUT\n"
    "\n"
    "Applies DELTA (as written by 'velkanc delta' or stored in a setup program) to OLD and\n"
    "writes the rebuilt file to OUT, through a temporary file beside it that replaces OUT\n"
    "only when complete. A malformed delta is refused with what is wrong and where.\n"
    "\n"
    "  --size N      the rebuilt file must be exactly N bytes long (without it, a delta's\n"
    "                sub-streams may hold at most 256 MB each, and the file may come out\n"
    "                at most 256 MB long or twice OLD, whichever is more)\n"
    "  -q, --quiet   print nothing (otherwise the rebuilt file's size)\n",
    RunPatch,
    kOptions,
});

}  // namespace
}  // namespace velkan::cli
