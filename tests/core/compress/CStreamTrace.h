// A deliberately simple second reader of the packed stream, for tests: bit by bit, no tables, no
// streaming. It records what the stream is made of (blocks, literals, matches, code lengths) so
// tests can check the encoder's choices, and it gives an independent check of CDecompressor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velkan::test {

class CStreamTrace {
public:
    struct CBlock {
        unsigned header = 0;      // the 4-bit header value
        size_t storedLength = 0;  // stored blocks: LEN
        size_t symbols = 0;       // coded blocks: literals and matches, end of block excluded
        size_t outputBytes = 0;
        size_t endBit = 0;  // bit offset just after the block
    };
    struct CMatch {
        unsigned length;
        unsigned distance;
    };

    // Parses the stream; throws std::runtime_error on anything it does not understand.
    explicit CStreamTrace(const std::vector<uint8_t>& stream);

    std::vector<CBlock> blocks;
    std::vector<CMatch> matches;
    std::vector<uint8_t> output;
    unsigned longestCode = 0;  // longest literal/length or distance code length seen
    size_t bytesUsed = 0;

private:
    unsigned Bit();
    unsigned Bits(unsigned n);
    unsigned Symbol(const std::vector<uint8_t>& lengths);

    const std::vector<uint8_t>& m_stream;
    size_t m_nBit = 0;
};

}  // namespace velkan::test
