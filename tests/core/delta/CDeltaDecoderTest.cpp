// The decoder on hand-made deltas: every command and position-code form, and hostile deltas,
// which must end in an error that says what is wrong, never in a crash or a wild allocation.
#include <gtest/gtest.h>

#include "DeltaTestSupport.h"
#include "core/delta/CDeltaException.h"

namespace velkan::testing {
namespace {

Bytes Stored(const Bytes& bytes)
{
    Bytes out = {0x00, static_cast<uint8_t>(bytes.size()), static_cast<uint8_t>(bytes.size() >> 8)};
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

Bytes Delta(const Bytes& commands, const Bytes& literals)
{
    return Concat({Stored(commands), Stored(literals)});
}

// A reference long enough for seven-byte codes, each byte telling its position apart.
const Bytes& LongReference()
{
    static const Bytes ref = RandomBytes(2200000, 5, 0, 255);
    return ref;
}

struct DecodeCase {
    const char* name;
    Bytes commands;
    Bytes literals;
    // The expected file: literal text and reference ranges, in order.
    std::vector<std::pair<size_t, size_t>> copies;  // (start, length); start SIZE_MAX = literals
};

constexpr size_t kLiterals = SIZE_MAX;

class DecoderForms : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecoderForms, RebuildsTheFile)
{
    const DecodeCase& c = GetParam();
    const Bytes& ref = LongReference();
    Bytes expected;
    size_t lit = 0;
    for (auto [start, length] : c.copies) {
        if (start == kLiterals) {
            expected.insert(expected.end(), c.literals.begin() + static_cast<long>(lit),
                            c.literals.begin() + static_cast<long>(lit + length));
            lit += length;
        } else {
            Bytes part = Slice(ref, start, length);
            expected.insert(expected.end(), part.begin(), part.end());
        }
    }
    CMemoryDeltaReference reference(ref.data(), ref.size());
    CMemorySink out;
    Bytes delta = Delta(c.commands, c.literals);
    EXPECT_EQ(CDeltaDecoder::Apply(delta.data(), delta.size(), reference, out, expected.size()),
              expected.size());
    EXPECT_EQ(out.Bytes(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Delta, DecoderForms,
    ::testing::Values(
        DecodeCase{"Empty", {}, {}, {}},
        DecodeCase{"LiteralsOnly", {0x83}, {'a', 'b', 'c', 'd'}, {{kLiterals, 4}}},
        DecodeCase{
            "OneByteCodes", {0x02, 0x85, 0x02, 0xBF, 0x01, 0xB6}, {}, {{5, 3}, {7, 3}, {0, 2}}},
        DecodeCase{"TwoByteCodes",
                   {0x02, 0x00, 0x00, 0x02, 0x7F, 0xFF, 0x02, 0x3F, 0xFF},
                   {},
                   {{32, 3}, {35 - 33, 3}, {5 + 16415, 3}}},
        DecodeCase{"TwoByteNegativeLimit",
                   {0x02, 0x3F, 0xFF, 0x02, 0x40, 0x00},
                   {},
                   {{16415, 3}, {16418 - 16416, 3}}},
        DecodeCase{"ThreeByteCodes",
                   {0x02, 0xC0, 0x00, 0x00, 0x02, 0xCF, 0xFF, 0xFF},
                   {},
                   {{16416, 3}, {16419 + 1064991, 3}}},
        DecodeCase{"ThreeByteNegative",
                   {0x02, 0xCF, 0xFF, 0xFF, 0x02, 0xFF, 0xFF, 0xFF},
                   {},
                   {{1064991, 3}, {1064994 - 16417, 3}}},
        DecodeCase{"SevenByteCodes",
                   {0x02, 0xD0, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x02, 0xD0, 0x00, 0x00, 0xFF,
                    0xFF, 0xFF, 0xFF},
                   {},
                   {{1064992, 3}, {1064995 - 16417, 3}}},
        DecodeCase{"LiteralsWithCopy",
                   {0xA1, 0x80, 0xDF, 0x80, 0xFF, 0x80},
                   {'x', 'y', 'z', '1', '2', '3'},
                   {{kLiterals, 1}, {0, 3}, {kLiterals, 2}, {3, 33}, {kLiterals, 3}, {36, 33}}},
        DecodeCase{"LongCopies",
                   {0x00, 0x00, 0x00, 0x80, 0x00, 0x7E, 0x3F, 0x80},
                   {},
                   {{0, 129}, {129, 16383}}}),
    [](const ::testing::TestParamInfo<DecodeCase>& p) { return std::string(p.param.name); });

struct HostileCase {
    const char* name;
    Bytes delta;
    const char* message;  // a part of the error text
    std::optional<uint64_t> expectedLength = std::nullopt;
};

class DecoderRejects : public ::testing::TestWithParam<HostileCase> {};

TEST_P(DecoderRejects, WithAMessage)
{
    const HostileCase& c = GetParam();
    const Bytes ref = RandomBytes(10, 1);
    CMemoryDeltaReference reference(ref.data(), ref.size());
    CMemorySink out;
    try {
        CDeltaDecoder::Apply(c.delta.data(), c.delta.size(), reference, out, c.expectedLength);
        FAIL() << "accepted";
    } catch (const CDeltaException& e) {
        EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Delta, DecoderRejects,
    ::testing::Values(
        HostileCase{"NothingAtAll", {}, "command sub-stream missing"},
        HostileCase{"NoLiteralSubStream", Stored({}), "literal sub-stream missing"},
        HostileCase{"LengthCutOff", {0x00, 0x01}, "length cut off"},
        HostileCase{"UnknownFlags", {0x08, 0x00, 0x00, 0x00, 0x00, 0x00}, "unknown framing flags"},
        HostileCase{
            "PackedWidthOnStored", {0x04, 0x00, 0x00, 0x00, 0x00, 0x00}, "stored sub-stream"},
        HostileCase{"StoredLongerThanDelta", {0x00, 0x05, 0x00, 0x01, 0x02}, "only 2 remain"},
        HostileCase{"PackedLongerThanDelta", {0x01, 0x05, 0x00, 0x09, 0x00, 0x01}, "exceeds"},
        HostileCase{"PackedGarbage",
                    Concat({{0x01, 0x05, 0x00, 0x02, 0x00, 0xFF, 0xFF}, Stored({})}),
                    "command sub-stream: packed stream"},
        // A huge stated size with a tiny stream: an error, not a 4 GiB allocation.
        HostileCase{"PackedHugeClaim",
                    Concat({{0x03, 0xFF, 0xFF, 0xFF, 0x0F, 0x01, 0x00, 0x0D}, Stored({})}),
                    "packed stream"},
        HostileCase{"TrailingBytes", Concat({Stored({}), Stored({}), {0x00}}),
                    "after the literal sub-stream"},
        HostileCase{"CopyPastTheEnd", Delta({0x02, 0x88}, {}), "beyond the reference"},
        HostileCase{"CopyBeforeTheStart", Delta({0x02, 0xBF}, {}), "beyond the reference"},
        HostileCase{"CopyFarBeyond", Delta({0x02, 0xD0, 0x00, 0x00, 0x7F, 0xFF, 0xFF, 0xFF}, {}),
                    "beyond the reference"},
        HostileCase{"LiteralsOverrun", Delta({0x83}, {'a', 'b'}), "only 2 remain"},
        HostileCase{"CombinedLiteralsOverrun", Delta({0xE0, 0x80}, {'a'}), "only 1 remain"},
        HostileCase{"LiteralsLeftOver", Delta({0x80}, {'a', 'b'}), "1 literal bytes left unused"},
        HostileCase{"TwoByteCodeCutOff", Delta({0x02, 0x00}, {}), "position code cut off"},
        HostileCase{"ThreeByteCodeCutOff", Delta({0x02, 0xC1, 0x00}, {}), "position code cut off"},
        HostileCase{"SevenByteCodeCutOff", Delta({0x02, 0xD0, 0x00, 0x00, 0x00}, {}),
                    "position code cut off"},
        HostileCase{"LongLengthCutOff", Delta({0x00, 0x01}, {}), "copy length cut off"},
        HostileCase{"CodeMissing", Delta({0x05}, {}), "position code cut off"},
        HostileCase{"LongerThanExpected", Delta({0x01, 0x80}, {}), "longer than its 1 bytes", 1},
        // Sub-streams larger than the file they rebuild could use are refused before unpacking.
        HostileCase{"LiteralsBeyondTheFile", Delta({0x81}, {'a', 'b'}),
                    "literal sub-stream at offset 4 declares 2 bytes, more than", 1},
        HostileCase{"CommandsBeyondTheFile", Delta(Bytes(17, 0x80), {}),
                    "command sub-stream at offset 0 declares 17 bytes, more than", 2},
        HostileCase{
            "PackedHugeClaimWithoutALength",
            Concat({{0x03, 0xFF, 0xFF, 0xFF, 0x3F, 0x01, 0x00, 0x0D}, Stored({})}),
            "declares 1073741823 bytes, more than a sub-stream may hold without the file's length"},
        HostileCase{"PackedHugeClaimOfASmallFile",
                    Concat({{0x03, 0xFF, 0xFF, 0xFF, 0x3F, 0x01, 0x00, 0x0D}, Stored({})}),
                    "declares 1073741823 bytes, more than a file of the expected length", 1000},
        HostileCase{"ShorterThanExpected", Delta({0x81}, {'a', 'b'}), "2 bytes long instead of 3",
                    3}),
    [](const ::testing::TestParamInfo<HostileCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace velkan::testing
