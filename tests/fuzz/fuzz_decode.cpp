// Feeds arbitrary bytes to the packed-stream decoder: it must either decode or throw
// CDecodeError, never crash, read out of bounds or run away with memory.
#include <cstddef>
#include <cstdint>

#include "core/compress/CDecompressor.h"
#include "core/stream/CMemorySource.h"

namespace {

class CDiscardSink : public velkan::IByteSink {
public:
    void Write(const void*, size_t size) override { m_nSize += size; }
    uint64_t GetPosition() const override { return m_nSize; }

private:
    uint64_t m_nSize = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    velkan::CMemorySource source(data, size);
    CDiscardSink sink;
    velkan::CDecompressor decoder;
    try {
        // An expected size bounds the output, as containers do.
        decoder.Decode(sink, source, uint64_t{1} << 24, size);
    } catch (const velkan::CDecodeError&) {
    }
    velkan::CMemorySource again(data, size);
    CDiscardSink sink2;
    try {
        decoder.Decode(sink2, again, std::nullopt, size);
    } catch (const velkan::CDecodeError&) {
    }
    return 0;
}
