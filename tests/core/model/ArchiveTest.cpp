#include "core/model/CArchive.h"

#include <gtest/gtest.h>

#include "core/model/CArchiveException.h"

using namespace velkan;
using Bytes = std::vector<unsigned char>;

namespace {

Bytes Prefix(const Bytes& b, size_t n)
{
    return Bytes(b.begin(), b.begin() + static_cast<long>(n));
}

}  // namespace

TEST(Archive, StringLengthPrefixesAtEachBoundary)
{
    struct Case {
        size_t length;
        Bytes prefix;
    } cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        CArchive out;
        std::string text(c.length, 'x');
        out.WriteString(text);
        ASSERT_EQ(out.Bytes().size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(Prefix(out.Bytes(), c.prefix.size()), c.prefix) << c.length;
        CArchive in(out.Bytes().data(), out.Bytes().size());
        EXPECT_EQ(in.ReadString(), text) << c.length;
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

TEST(Archive, CountPrefixes)
{
    struct Case {
        size_t count;
        Bytes bytes;
    } cases[] = {
        {0, {0x00, 0x00}},
        {0xFFFE, {0xFE, 0xFF}},
        {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {0x12345, {0xFF, 0xFF, 0x45, 0x23, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        CArchive out;
        out.WriteCount(c.count);
        EXPECT_EQ(out.Bytes(), c.bytes);
        Bytes withRoom = c.bytes;
        withRoom.resize(withRoom.size() + c.count);
        CArchive in(withRoom.data(), withRoom.size());
        EXPECT_EQ(in.ReadCount(1), c.count);
    }
}

TEST(Archive, ReadsTheSixteenBitStringForm)
{
    // FF FE FF marker, then a 3-character length, then "Aé?" in UTF-16LE (U+4E00 has no 1252 form).
    Bytes b = {0xFF, 0xFE, 0xFF, 0x03, 'A', 0x00, 0xE9, 0x00, 0x00, 0x4E};
    CArchive in(b.data(), b.size());
    EXPECT_EQ(in.ReadString(), "A\xE9?");
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(Archive, RefusesWhatTheFileCannotHold)
{
    const Bytes cases[] = {
        {},                                          // nothing at all
        {0x05, 'a', 'b'},                            // string longer than the rest
        {0xFF, 0xFE, 0xFF, 0x02, 'A', 0x00, 'B'},    // 16-bit string with an odd tail
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},  // 2 GB string length, then nothing
        {0xFF},                                      // prefix cut short
    };
    for (const Bytes& b : cases) {
        CArchive in(b.data(), b.size());
        try {
            in.ReadString();
            ADD_FAILURE() << "accepted " << b.size() << " bytes";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetKind(), CArchiveException::Kind::EndOfFile);
            EXPECT_STREQ(e.what(), "Unexpected file format.");
        }
    }
    Bytes count = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 1, 2, 3};
    CArchive in(count.data(), count.size());
    EXPECT_THROW(in.ReadCount(1), CArchiveException);
}
