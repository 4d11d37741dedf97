#include "core/wizard/WizardTextFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/stream/CFileException.h"
#include "core/stream/CMemorySink.h"
#include "core/stream/CMemorySource.h"
#include "core/wizard/CTextCatalogue.h"

namespace velkan {
namespace {

using Texts = std::vector<std::vector<std::string>>;

Texts DefaultTexts()
{
    Texts texts(kTextPageCount);
    for (int page = 0; page < kTextPageCount; ++page) {
        for (int text = 0; text < CTextCatalogue::TextCount(page); ++text) {
            texts[page].push_back(CTextCatalogue::GetDefaultText(page, text));
        }
    }
    return texts;
}

// Hands out one byte per call, so that every CR LF pair and every line also straddles a read.
class TrickleSource : public IByteSource {
public:
    explicit TrickleSource(std::string bytes) : m_bytes(std::move(bytes)) {}
    size_t Read(void* buffer, size_t size) override
    {
        if (size == 0 || m_pos == m_bytes.size()) return 0;
        static_cast<char*>(buffer)[0] = m_bytes[m_pos++];
        return 1;
    }
    uint64_t GetPosition() const override { return m_pos; }

private:
    std::string m_bytes;
    size_t m_pos = 0;
};

// Delivers its bytes, then fails like a disk read error.
class FailingSource : public IByteSource {
public:
    explicit FailingSource(std::string bytes) : m_bytes(std::move(bytes)) {}
    size_t Read(void* buffer, size_t size) override
    {
        if (m_done) throw CFileException("texts.txt", "read error");
        m_done = true;
        size_t n = std::min(size, m_bytes.size());
        std::copy_n(m_bytes.data(), n, static_cast<char*>(buffer));
        return n;
    }
    uint64_t GetPosition() const override { return 0; }

private:
    std::string m_bytes;
    bool m_done = false;
};

// Reads file bytes into texts both through a memory source and one byte at a time; the two
// must agree, and the first result is returned.
Texts Read(const std::string& file, Texts texts = DefaultTexts())
{
    Texts trickled = texts;
    CMemorySource source(file.data(), file.size());
    ReadTextsFile(texts, source);
    TrickleSource trickle(file);
    ReadTextsFile(trickled, trickle);
    EXPECT_EQ(texts, trickled);
    return texts;
}

TEST(WizardTextFile, FormatIsMarkerTextAndEmptyLine)
{
    Texts texts = {{"Welcome", "a\nb"}, {}, {"", "x\r\ny"}};
    EXPECT_EQ(FormatTextsFile(texts),
              "*0000*\r\nWelcome\r\n\r\n"
              "*0001*\r\na\r\nb\r\n\r\n"
              "*0200*\r\n\r\n\r\n"
              "*0201*\r\nx\r\r\ny\r\n\r\n");
}

TEST(WizardTextFile, FormatOfCatalogueMarkers)
{
    std::string file = FormatTextsFile(DefaultTexts());
    EXPECT_EQ(file.rfind("*0000*\r\n", 0), 0u);
    EXPECT_NE(file.find("\r\n*0207*\r\n%d Mb\r\n\r\n*0300*"), std::string::npos);
    EXPECT_NE(file.find("*1000*\r\n\r\n\r\n*1001*"), std::string::npos);
    EXPECT_TRUE(file.ends_with("*1003*\r\nB&rowse\r\n\r\n"));
    CMemorySink sink;
    WriteTextsFile(DefaultTexts(), sink);
    EXPECT_EQ(std::string(sink.Bytes().begin(), sink.Bytes().end()), file);
}

TEST(WizardTextFile, MarkerNumbersMustFitTwoDigits)
{
    Texts tooMany(1, std::vector<std::string>(101));
    EXPECT_THROW(FormatTextsFile(tooMany), std::length_error);
}

// Empty lines inside, before and after a text, and texts of nothing but line feeds, read back
// as written: an export imported without an edit changes nothing.
TEST(WizardTextFile, RoundTripIsExact)
{
    Texts original = DefaultTexts();
    original[0][1] = "Line 1\n\n\nLine 2\n";
    original[1][1] = "\n\n\n";
    original[1][2] = "\nafter an empty line";
    original[2][1] = "";
    original[6][31] = "last\n\n";
    Texts blank = DefaultTexts();
    for (auto& page : blank) {
        for (auto& text : page) text = "stale";
    }
    EXPECT_EQ(Read(FormatTextsFile(original), blank), original);
    EXPECT_EQ(Read(FormatTextsFile(DefaultTexts()), blank), DefaultTexts());
}

TEST(WizardTextFile, CarriageReturnBeforeLineFeedSurvivesTheRoundTrip)
{
    // Written as "a CR CR LF b": text-mode reading folds only the CR LF pair, so the first CR
    // stays part of the line.
    Texts texts = DefaultTexts();
    texts[1][1] = "a\r\nb";
    EXPECT_EQ(Read(FormatTextsFile(texts))[1][1], "a\r\nb");
}

struct ReadCase {
    const char* name;
    std::string file;
    int page;
    int text;
    std::string expected;
};

TEST(WizardTextFile, ReadCases)
{
    const std::string welcome = CTextCatalogue::GetDefaultText(0, 1);
    const ReadCase cases[] = {
        {"plain", "*0001*\r\nHello\r\n\r\n", 0, 1, "Hello"},
        {"LF only", "*0001*\nHello\nWorld\n", 0, 1, "Hello\nWorld"},
        {"no final line end", "*0001*\r\nHello", 0, 1, "Hello"},
        {"rest of marker line ignored", "*0001*Hello\r\nWorld\r\n", 0, 1, "World"},
        {"empty lines kept", "\r\n*0001*\r\n\r\nA\r\n\r\n\r\nB\r\n\r\n", 0, 1, "\nA\n\n\nB"},
        {"one closing empty line dropped", "*0001*\r\nA\r\n\r\n\r\n*0002*\r\n", 0, 1, "A\n"},
        {"lines before first marker", "junk\r\n*0001*\r\nA\r\n", 0, 1, "A"},
        {"lines before marker do not land", "junk\r\n*0002*\r\nA\r\n", 0, 1, welcome},
        {"non-marker star line is content", "*0001*\r\n*12* text\r\n", 0, 1, "*12* text"},
        {"letter in marker", "*0001*\r\n*0a01*\r\n", 0, 1, "*0a01*"},
        {"short marker", "*0001*\r\n*001*\r\n", 0, 1, "*001*"},
        {"out of range page", "*0001*\r\nA\r\n*9999*\r\nB\r\n", 0, 1, "A"},
        {"out of range text", "*0001*\r\nA\r\n*0599*\r\nB\r\n", 0, 1, "A"},
        {"out of range text keeps slot", "*0509*\r\nB\r\n", 5, 8, " "},
        {"second block wins", "*0001*\r\nFirst\r\n*0001*\r\nSecond\r\n", 0, 1, "Second"},
        {"marker empties", "*0001*\r\n*0002*\r\nX\r\n", 0, 1, ""},
        {"lone CR is content", "*0001*\r\na\rb\r\n", 0, 1, "a\rb"},
        {"CR at end of file", "*0001*\r\nab\r", 0, 1, "ab\r"},
        {"trailing CR kept", "*0001*\r\nab\r\r\n\r\n", 0, 1, "ab\r"},
        {"reserved slot", "*1002*\r\nhidden\r\n", 10, 2, "hidden"},
        {"uninstaller page", "*0810*\r\nbye\r\n", 8, 10, "bye"},
        {"no marker at all", "just text\r\nmore\r\n", 0, 1, welcome},
        {"empty file", "", 0, 1, welcome},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Read(c.file)[c.page][c.text], c.expected) << c.name;
    }
}

TEST(WizardTextFile, UnnamedSlotsKeepTheirTexts)
{
    Texts before = DefaultTexts();
    Texts after = Read("*0300*\r\nCheck\r\n", before);
    before[3][0] = "Check";
    EXPECT_EQ(after, before);
}

// A file saved with a signature or as UTF-16 would otherwise be taken as no texts at all, and a
// 0 byte would end the text early wherever it is used; all are refused and nothing changes.
TEST(WizardTextFile, ByteOrderMarksAndZeroBytesAreRefused)
{
    const std::string utf16 = std::string(
        "*\0"
        "0\0"
        "0\0"
        "0\0"
        "1\0"
        "*\0",
        12);
    struct Case {
        const char* name;
        std::string file;
        const char* message;
    } cases[] = {
        {"UTF-8 signature", "\xEF\xBB\xBF*0001*\r\nx\r\n", "UTF-8 byte-order mark"},
        {"UTF-16 LE", "\xFF\xFE" + utf16, "UTF-16"},
        {"UTF-16 BE", "\xFE\xFF" + utf16.substr(1) + '\0', "UTF-16"},
        {"UTF-16 without a mark", utf16, "a 0 byte"},
        // Texts are stored as 0-terminated strings: a 0 byte would cut the text short.
        {"a 0 byte in a text", std::string("*0001*\r\na\0b\r\n", 13), "a 0 byte"},
    };
    for (const Case& c : cases) {
        Texts texts = DefaultTexts();
        CMemorySource source(c.file.data(), c.file.size());
        try {
            ReadTextsFile(texts, source);
            ADD_FAILURE() << c.name << ": read";
        } catch (const CFileException& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.name << ": " << e.what();
        }
        EXPECT_EQ(texts, DefaultTexts()) << c.name;
    }
}

TEST(WizardTextFile, ShapeNeverChanges)
{
    Texts small = {{"a"}, {}};
    Texts after = Read("*0000*\r\nx\r\n*0100*\r\ny\r\n*0200*\r\nz\r\n", small);
    EXPECT_EQ(after, (Texts{{"x"}, {}}));
}

TEST(WizardTextFile, LongLinesArriveInPieces)
{
    const std::string exact(kTextsFileMaxLine, 'a');
    EXPECT_EQ(Read("*0001*\r\n" + exact + "\r\nb\r\n")[0][1], exact + "\nb");

    // One character more: the line is cut after the limit and the rest is a line of its own.
    EXPECT_EQ(Read("*0001*\r\n" + exact + "z\r\n")[0][1], exact + "\nz");

    // CR LF counts as the line end, not as characters: a line of limit - 1 characters plus CR LF
    // is one line.
    const std::string shorter(kTextsFileMaxLine - 1, 'c');
    EXPECT_EQ(Read("*0001*\r\n" + shorter + "\r\n")[0][1], shorter);

    // A piece that looks like a marker is one.
    Texts texts = Read("*0001*\r\n" + exact + "*0002*tail\r\nnext\r\n");
    EXPECT_EQ(texts[0][1], exact);
    EXPECT_EQ(texts[0][2], "next");
}

TEST(WizardTextFile, ReadErrorLeavesTextsUnchanged)
{
    Texts texts = DefaultTexts();
    FailingSource source("*0001*\r\nchanged\r\n*0002*\r\npartial");
    EXPECT_THROW(ReadTextsFile(texts, source), CFileException);
    EXPECT_EQ(texts, DefaultTexts());
}

class WizardTextFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir =
            std::filesystem::temp_directory_path() /
            ("velkan-texts-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::filesystem::path m_dir;
};

TEST_F(WizardTextFileOnDisk, WriteThenRead)
{
    Texts texts = DefaultTexts();
    texts[7][0] =
        "< &Zur\xFC"
        "ck";
    std::string path = (m_dir / "German.txt").string();
    WriteTextsFile(texts, path);
    Texts back = DefaultTexts();
    ReadTextsFile(back, path);
    EXPECT_EQ(back[7][0],
              "< &Zur\xFC"
              "ck");
    EXPECT_EQ(back[2][1], texts[2][1]);
}

TEST_F(WizardTextFileOnDisk, MissingFileNamesThePathAndChangesNothing)
{
    Texts texts = DefaultTexts();
    std::string path = (m_dir / "missing.txt").string();
    try {
        ReadTextsFile(texts, path);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.Path(), path);
        EXPECT_NE(std::string(e.what()).find("missing.txt"), std::string::npos);
    }
    EXPECT_EQ(texts, DefaultTexts());
}

TEST_F(WizardTextFileOnDisk, UnwritablePathThrows)
{
    // A missing folder is made; one that a file stands in the way of cannot be.
    std::ofstream(m_dir / "a-file") << "x";
    std::string path = (m_dir / "a-file" / "out.txt").string();
    EXPECT_THROW(WriteTextsFile(DefaultTexts(), path), CFileException);
}

}  // namespace
}  // namespace velkan
