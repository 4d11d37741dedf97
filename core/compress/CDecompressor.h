// The decoder of the packed stream (format in PackFormat.h). It streams: memory is fixed (a 32 KiB
// history, a 64 KiB output chunk and a 16 KiB input buffer) whatever the stream's size. It is
// strict: anything the encoder cannot produce is an error, reported as CDecodeError with what is
// wrong and where; hostile input never makes it read or write out of bounds. Portable code only:
// the Windows install runtime uses it too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/compress/CDecodeError.h"
#include "core/stream/IByteSink.h"
#include "core/stream/IByteSource.h"

namespace velkan {

class CDecompressor {
public:
    CDecompressor();
    ~CDecompressor();
    CDecompressor(const CDecompressor&) = delete;
    CDecompressor& operator=(const CDecompressor&) = delete;

    // Decodes one stream read from the source's current position and writes the bytes to the
    // sink. Returns the unpacked size.
    // - expectedSize: when set, the output must be exactly that long; decoding stops as soon as
    //   the stream would produce more, and a shorter result is an error too.
    // - inputLimit: when set, at most that many bytes are read from the source; a stream that
    //   needs more "ends early". Without it the decoder reads ahead in pieces, so the source may
    //   be left past the stream's end; GetInputUsed says where the stream ended.
    // Throws CDecodeError for an invalid stream; errors of the source or sink propagate.
    uint64_t Decode(IByteSink& sink, IByteSource& source,
                    std::optional<uint64_t> expectedSize = std::nullopt,
                    std::optional<uint64_t> inputLimit = std::nullopt);

    // Bytes the last decoded stream occupied, its final padding bits included.
    uint64_t GetInputUsed() const { return m_nInputUsed; }
    // Bytes the last decoded stream produced.
    uint64_t GetOutputSize() const { return m_nOutputSize; }

    // Convenience: decodes a stream that fills the whole block (trailing bytes are an error).
    static std::vector<uint8_t> Unpack(const void* data, size_t size,
                                       std::optional<uint64_t> expectedSize = std::nullopt);

private:
    struct CState;

    std::unique_ptr<CState> m_state;  // kept from one stream to the next
    uint64_t m_nInputUsed = 0;
    uint64_t m_nOutputSize = 0;
};

}  // namespace velkan
