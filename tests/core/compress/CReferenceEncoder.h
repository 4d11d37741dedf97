// A second, deliberately plain encoder of the packed stream, for tests only. It follows the
// encoder's rules one step at a time (a plain hash chain walk, one bit writer, no shortcuts), so
// that CCompressor, which is tuned for speed, can be checked against it byte for byte.
//
// It also counts what happened while encoding (block kinds, why blocks ended, length-limit
// overflows, window slides), so a test can make sure its inputs reach the paths they are meant to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velkan::test {

class CReferenceEncoder {
public:
    struct CStats {
        unsigned storedBlocks = 0;
        unsigned fixedBlocks = 0;
        unsigned dynamicBlocks = 0;
        unsigned endedBySymbolLimit = 0;  // 8,191 symbols (or 8,192 matches)
        unsigned endedByEstimate = 0;     // the check made every 4,096 symbols
        unsigned literalOverflows = 0;    // trees whose lengths had to be cut to the limit
        unsigned distanceOverflows = 0;
        unsigned codeLengthOverflows = 0;
        unsigned slides = 0;
        unsigned slidesAfterEnd = 0;        // slides made once the source had ended
        unsigned storedRefusedNoBytes = 0;  // stored would have won but the block start slid out
        unsigned matches = 0;
        unsigned literals = 0;
        unsigned longestDistance = 0;
        unsigned maxBlockSymbols = 0;
    };

    // slideAfterEnd: the window slides on every refill once the position passes 65,274, also
    // after the source has ended (the refill loop runs its body at least once). false gives the
    // other reading (no refill at all after the end), kept only to diagnose a disagreement.
    explicit CReferenceEncoder(bool slideAfterEnd = true);

    std::vector<uint8_t> Encode(const uint8_t* data, size_t size);
    const CStats& GetStats() const { return m_stats; }

private:
    struct CTree {
        int elems = 0;      // symbols in the alphabet
        int extraBase = 0;  // first symbol with extra bits
        const int* extra = nullptr;
        int maxLength = 15;
        const std::vector<int>* fixedLength = nullptr;  // fixed-code lengths, when it has them
        std::vector<uint32_t> freq;                     // 2 * elems + 1 nodes
        std::vector<int> dad;
        std::vector<int> len;
        std::vector<uint16_t> code;
        int maxCode = -1;
        unsigned* overflowCounter = nullptr;
    };

    // Run
    void StartRun();
    void ReadInput(unsigned offset, unsigned count, unsigned& got);
    void Refill();
    unsigned InsertString(unsigned pos);
    unsigned LongestMatch(unsigned curMatch, unsigned prevLength);
    bool Tally(unsigned dist, unsigned lc);
    void FlushBlock(bool last);
    void InitBlock();

    // Trees
    void BuildTree(CTree& tree);
    void ScanTree(const CTree& tree);
    void SendTree(const CTree& tree);
    int BuildCodeLengthTree();
    void SendAllTrees(int lcodes, int dcodes, int blcodes);
    void CompressBlock(const std::vector<uint16_t>& lcode, const std::vector<int>& llen,
                       const std::vector<uint16_t>& dcode, const std::vector<int>& dlen);
    unsigned DistCode(unsigned distMinus1) const;

    // Bits
    void SendBits(unsigned value, int length);
    void PadToByte();

    bool m_slideAfterEnd;
    CStats m_stats;

    const uint8_t* m_input = nullptr;
    size_t m_inputSize = 0;
    size_t m_inputPos = 0;

    std::vector<uint8_t> m_window;
    std::vector<uint16_t> m_prev;
    std::vector<uint16_t> m_head;
    unsigned m_insH = 0;
    unsigned m_strStart = 0;
    unsigned m_matchStart = 0;
    unsigned m_lookahead = 0;
    long m_blockStart = 0;
    bool m_eof = false;

    uint8_t m_lengthCode[256] = {};
    int m_baseLength[29] = {};
    uint8_t m_distCode[512] = {};
    int m_baseDist[30] = {};
    std::vector<int> m_fixedLitLength;
    std::vector<uint16_t> m_fixedLitCode;
    std::vector<int> m_fixedDistLength;
    std::vector<uint16_t> m_fixedDistCode;

    CTree m_lit;
    CTree m_dist;
    CTree m_bl;

    // Symbols of the current block, in order.
    std::vector<uint8_t> m_symLc;
    std::vector<uint16_t> m_symDist;
    std::vector<bool> m_symIsMatch;
    unsigned m_lastLit = 0;
    unsigned m_lastDist = 0;
    bool m_endedByEstimate = false;

    long long m_optLen = 0;
    long long m_staticLen = 0;

    std::vector<uint8_t> m_out;
    uint32_t m_bitBuf = 0;
    int m_bitCount = 0;
};

}  // namespace velkan::test
