// velkanc unpack: decodes a bare packed stream, checking that it fills its file exactly.
#include <string>

#include "cli/ArgParser.h"
#include "cli/CommandRegistry.h"
#include "core/compress/CDecompressor.h"
#include "core/platform/AtomicFile.h"
#include "core/stream/CFile.h"
#include "core/stream/CFileException.h"

namespace velkan::cli {

namespace {

const CommandOptions kOptions{{}, {}};

int RunUnpack(const std::vector<std::string>& args)
{
    CArgParser p(args, kOptions);
    p.ExpectPositional(2, 2);
    const std::string& inPath = p.Positional()[0];
    const std::string& outPath = p.Positional()[1];
    try {
        CFile in(inPath, CFile::Mode::Read);
        const uint64_t length = in.GetLength();
        WriteFileAtomically(outPath, [&](CFile& out) {
            CDecompressor decoder;
            decoder.Decode(out, in, std::nullopt, length);
            if (decoder.GetInputUsed() != length) {
                throw CDecodeError(std::to_string(length - decoder.GetInputUsed()) +
                                       " bytes follow the end of the stream",
                                   decoder.GetInputUsed());
            }
        });
    } catch (const CFileException& e) {
        throw CommandError{e.what()};
    } catch (const CDecodeError& e) {
        throw CommandError{inPath + ": " + e.what()};
    }
    return kExitOk;
}

const bool registered = RegisterCommand({
    "unpack",
    "decode a bare packed stream",
    "Usage: velkanc unpack IN OUT\n"
    "\n"
    "Decodes the packed stream in the file IN (as written by 'velkanc pack') and writes the\n"
    "bytes to OUT. The stream must end exactly where IN ends. OUT is written through a\n"
    "temporary file beside it and appears only when the stream was decoded completely.\n",
    RunUnpack,
    kOptions,
});

}  // namespace

}  // namespace velkan::cli
