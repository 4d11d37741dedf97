// The encoder of the packed stream (format in PackFormat.h): a lazy-matching deflate encoder at one
// fixed effort. Every installed file, version delta and large package section goes through it,
// and the install runtimes decode its output, so the output is specified bit for bit: the same
// input always gives the same bytes.
//
// One object serves one run at a time; the build reuses one object, calling Reset before each
// run. A run's memory (about 1 MiB, whatever the input size) is allocated by the first run and
// kept for the next ones, so that packing many small files does not pay for it each time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/stream/IByteSink.h"
#include "core/stream/IByteSource.h"

namespace velkan {

// Called after each refill read of the source with the bytes consumed since the run started.
using CompressProgressProc = std::function<void(uint32_t bytesConsumed, uint32_t user)>;

class CCompressor {
public:
    CCompressor();
    ~CCompressor();
    CCompressor(const CCompressor&) = delete;
    CCompressor& operator=(const CCompressor&) = delete;

    // Forgets the progress callback; called before each run.
    void Reset();
    void SetProgressProc(CompressProgressProc proc, uint32_t user);

    // Packs the source from its current position to its end and writes the stream at the sink's
    // current position. length is ignored (callers pass the source's length). Returns 0 when the
    // output buffer cannot be allocated (nothing is written), otherwise non-zero. Errors of the
    // source or the sink propagate after the buffered output has been written out.
    int CompressFile(IByteSink& sink, IByteSource& source, uint64_t length);
    // Packs size bytes of memory.
    int CompressMemory(IByteSink& sink, const void* data, uint32_t size);

    // Convenience: the stream for a block of memory.
    static std::vector<uint8_t> Pack(const void* data, size_t size);

private:
    struct CRun;

    std::unique_ptr<CRun> m_run;
    CompressProgressProc m_progressProc;
    uint32_t m_nProgressUser = 0;
};

}  // namespace velkan
