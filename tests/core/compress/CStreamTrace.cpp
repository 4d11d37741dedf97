#include "CStreamTrace.h"

#include <stdexcept>
#include <string>

namespace velkan::test {

namespace {

const unsigned kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const unsigned kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                   2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const unsigned kDistBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const unsigned kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
const unsigned kOrder[19] = {18, 17, 16, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

}  // namespace

unsigned CStreamTrace::Bit()
{
    if (m_nBit / 8 >= m_stream.size()) throw std::runtime_error("trace: stream ends early");
    unsigned b = (m_stream[m_nBit / 8] >> (m_nBit % 8)) & 1;
    ++m_nBit;
    return b;
}

unsigned CStreamTrace::Bits(unsigned n)
{
    unsigned v = 0;
    for (unsigned i = 0; i < n; ++i) v |= Bit() << i;
    return v;
}

// Canonical decoding by walking the code lengths: slow and obviously right.
unsigned CStreamTrace::Symbol(const std::vector<uint8_t>& lengths)
{
    unsigned count[16] = {};
    for (uint8_t l : lengths) count[l]++;
    count[0] = 0;
    unsigned code = 0;
    unsigned first = 0;  // canonical code of the first symbol of the current length
    for (unsigned len = 1; len <= 15; ++len) {
        code = (code << 1) | Bit();
        first = (first + count[len - 1]) << 1;
        if (code >= first && code < first + count[len]) {
            unsigned rank = code - first;
            for (size_t s = 0; s < lengths.size(); ++s) {
                if (lengths[s] == len && rank-- == 0) {
                    if (len > longestCode) longestCode = len;
                    return static_cast<unsigned>(s);
                }
            }
        }
    }
    throw std::runtime_error("trace: bad code");
}

CStreamTrace::CStreamTrace(const std::vector<uint8_t>& stream) : m_stream(stream)
{
    for (;;) {
        CBlock block;
        block.header = Bits(4);
        const size_t outStart = output.size();
        const unsigned type = block.header & 7;
        if (type == 7) {
            m_nBit = (m_nBit + 7) / 8 * 8;
            block.storedLength = Bits(16);
            for (size_t i = 0; i < block.storedLength; ++i)
                output.push_back(static_cast<uint8_t>(Bits(8)));
        } else if (type == 5 || type == 6) {
            std::vector<uint8_t> lit(288), dist(30);
            if (type == 5) {
                for (unsigned i = 0; i < 288; ++i)
                    lit[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
                for (auto& d : dist) d = 5;
            } else {
                unsigned nlen = Bits(5) + 257, ndist = Bits(5) + 1, ncode = Bits(4) + 4;
                std::vector<uint8_t> cl(19);
                for (unsigned i = 0; i < ncode; ++i) cl[kOrder[i]] = static_cast<uint8_t>(Bits(3));
                auto readSeq = [&](std::vector<uint8_t>& out, unsigned n) {
                    out.assign(n, 0);
                    unsigned i = 0;
                    while (i < n) {
                        unsigned s = Symbol(cl);
                        unsigned rep = 1;
                        uint8_t v = static_cast<uint8_t>(s);
                        if (s == 16) {
                            if (i == 0) throw std::runtime_error("trace: repeat first");
                            v = out[i - 1];
                            rep = 3 + Bits(2);
                        } else if (s == 17) {
                            v = 0;
                            rep = 3 + Bits(3);
                        } else if (s == 18) {
                            v = 0;
                            rep = 11 + Bits(7);
                        }
                        if (i + rep > n) throw std::runtime_error("trace: run too long");
                        while (rep--) out[i++] = v;
                    }
                };
                unsigned keep = longestCode;
                readSeq(lit, nlen);
                readSeq(dist, ndist);
                longestCode = keep;  // code-length codes do not count
            }
            for (;;) {
                unsigned s = Symbol(lit);
                if (s < 256) {
                    output.push_back(static_cast<uint8_t>(s));
                    ++block.symbols;
                    continue;
                }
                if (s == 256) break;
                s -= 257;
                if (s >= 29) throw std::runtime_error("trace: bad length symbol");
                unsigned len = kLengthBase[s] + Bits(kLengthExtra[s]);
                unsigned ds = Symbol(dist);
                if (ds >= 30) throw std::runtime_error("trace: bad distance symbol");
                unsigned d = kDistBase[ds] + Bits(kDistExtra[ds]);
                if (d > output.size()) throw std::runtime_error("trace: distance too far");
                matches.push_back({len, d});
                for (unsigned i = 0; i < len; ++i) output.push_back(output[output.size() - d]);
                ++block.symbols;
            }
        } else {
            throw std::runtime_error("trace: bad header " + std::to_string(block.header));
        }
        block.outputBytes = output.size() - outStart;
        block.endBit = m_nBit;
        blocks.push_back(block);
        if (block.header & 8) break;
    }
    bytesUsed = (m_nBit + 7) / 8;
}

}  // namespace velkan::test
