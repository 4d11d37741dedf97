// Fuzz target of the delta decoder: any input must give a rebuilt file or a CDeltaException,
// never a crash, an out-of-bounds access or a huge allocation. The first byte chooses the
// reference length, so copies both inside and past the reference are reached.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/delta/CDeltaDecoder.h"
#include "core/delta/CDeltaException.h"
#include "core/delta/CMemoryDeltaReference.h"
#include "core/stream/IByteSink.h"

namespace {

// Counts the output without keeping it: a hostile delta may legitimately rebuild a long file.
class CountingSink : public velkan::IByteSink {
public:
    void Write(const void*, size_t size) override { m_size += size; }
    uint64_t GetPosition() const override { return m_size; }

private:
    uint64_t m_size = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    static std::vector<uint8_t> reference = [] {
        std::vector<uint8_t> r(70000);
        for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<uint8_t>(i * 131 + (i >> 8));
        return r;
    }();
    const size_t refLength = static_cast<size_t>(data[0]) * 270;
    velkan::CMemoryDeltaReference ref(reference.data(), refLength);
    CountingSink out;
    try {
        velkan::CDeltaDecoder::Apply(data + 1, size - 1, ref, out);
    } catch (const velkan::CDeltaException&) {
    }
    return 0;
}
