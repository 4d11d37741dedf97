// velkanc pack: packs a file into a bare packed stream, exactly as the build packs installed files.
#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "core/compress/CCompressor.h"
#include "core/platform/AtomicFile.h"
#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"

namespace velkan::cli {

namespace {

const CommandOptions kOptions{{}, {}};

int RunPack(const std::vector<std::string>& args)
{
    CArgParser p(args, kOptions);
    p.ExpectPositional(2, 2);
    const std::string& inPath = p.Positional()[0];
    const std::string& outPath = p.Positional()[1];
    try {
        CFile in(inPath, CFile::Mode::Read);
        WriteFileAtomically(outPath, [&](CFile& out) {
            CCompressor compressor;
            compressor.Reset();
            if (compressor.CompressFile(out, in, 0) == 0) {
                throw CFileException(outPath, "out of memory for the output buffer");
            }
        });
    } catch (const CFileException& e) {
        throw CommandError{e.what()};
    }
    return kExitOk;
}

const bool registered = RegisterCommand({
    "pack",
    "pack a file into a bare packed stream",
    "Usage: velkanc pack IN OUT\n"
    "\n"
    "Packs the file IN with Velkan's compressor and writes the packed stream to OUT, with no\n"
    "header or size: the same bytes the build stores for an installed file. OUT is written\n"
    "through a temporary file beside it and appears only when complete.\n",
    RunPack,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
