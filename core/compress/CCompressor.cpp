// The encoder of the packed stream: the object that runs the two stages (match finder and trees)
// over a source, with its output buffer and progress callback.
#include "core/compress/CCompressor.h"

#include <new>

#include "core/compress/CompressorRun.h"
#include "core/stream/CMemorySink.h"
#include "core/stream/CMemorySource.h"

namespace velkan {

// ---- The object ---------------------------------------------------------------------------------

CCompressor::CCompressor() = default;
CCompressor::~CCompressor() = default;

void CCompressor::Reset()
{
    m_progressProc = nullptr;
    m_nProgressUser = 0;
}

void CCompressor::SetProgressProc(CompressProgressProc proc, uint32_t user)
{
    m_progressProc = std::move(proc);
    m_nProgressUser = user;
}

int CCompressor::CompressFile(IByteSink& sink, IByteSource& source, uint64_t /*length*/)
{
    std::unique_ptr<uint8_t[]> outBuf(new (std::nothrow) uint8_t[encoder::kOutBufSize]());
    if (!outBuf) return 0;

    CRun* run = nullptr;
    try {
        if (m_run) {
            m_run->Clear();
        } else {
            m_run.reset(new CRun());
        }
        run = m_run.get();
        run->m_outBuf = outBuf.get();
        run->m_sink = &sink;
        run->m_source = &source;
        run->m_nStartPosition = source.GetPosition();
        run->m_progressProc = &m_progressProc;
        run->m_nProgressUser = m_nProgressUser;
        run->Run();
    } catch (...) {
        // Whatever reached the output buffer still goes out before the error propagates.
        if (run) {
            try {
                run->FlushOut();
            } catch (...) {
            }
        }
        throw;
    }
    return 1;
}

int CCompressor::CompressMemory(IByteSink& sink, const void* data, uint32_t size)
{
    CMemorySource source(data, size);
    return CompressFile(sink, source, size);
}

std::vector<uint8_t> CCompressor::Pack(const void* data, size_t size)
{
    CMemorySink sink;
    CMemorySource source(data, size);
    CCompressor compressor;
    compressor.CompressFile(sink, source, size);
    return sink.Take();
}

}  // namespace velkan
