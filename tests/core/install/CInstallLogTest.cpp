// The install log: its text, the records a line may hold, the merge of a later run into the log
// of earlier ones, and the order an undo walks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/install/CInstallLog.h"

using namespace velkan::install;

namespace {

// Kinds and main fields of a log, one text per record, to compare logs at a glance.
std::vector<std::wstring> Outline(const CInstallLog& log)
{
    std::vector<std::wstring> out;
    for (const CLogRecord& record : log.Records()) {
        std::wstring line(1, static_cast<wchar_t>(record.Kind()));
        for (const std::wstring& field : record.Fields()) line += L"|" + field;
        out.push_back(line);
    }
    return out;
}

CInstallLog Log(std::initializer_list<CLogRecord> records)
{
    CInstallLog log;
    for (const CLogRecord& record : records) log.Add(record);
    return log;
}

CInstallLog Read(const std::string& text)
{
    std::optional<CInstallLog> log = CInstallLog::FromText(text);
    EXPECT_TRUE(log.has_value());
    return log ? *log : CInstallLog();
}

const std::string kHead = std::string(CInstallLog::kHeader) + "\r\n";

}  // namespace

TEST(CInstallLogTest, EveryKindRoundTripsThroughItsText)
{
    CInstallLog log = Log({
        CLogRecord::Place(L"C:\\Café €\\日本 App"),
        CLogRecord::Product(L"0123456789ABCDEF"),
        CLogRecord::Folder(L"C:\\App"),
        CLogRecord::File(L"C:\\App\\a\tb%c\r\n.txt"),
        CLogRecord::SharedFile(L"C:\\windows\\system32\\x.dll"),
        CLogRecord::Font(L"C:\\windows\\Fonts\\f.ttf", L"f (TrueType)", true),
        CLogRecord::Font(L"C:\\windows\\Fonts\\g.ttf", L"g (TrueType)", false),
        CLogRecord::Server(L"C:\\App\\s.ocx"),
        CLogRecord::Link(L"C:\\Menu\\App.lnk"),
        CLogRecord::IniEntry(L"app.ini", L"S", L"Path", true, kNoEarlierValue, L"C:\\日本"),
        CLogRecord::RegistryValue(1, L"Software\\V", L"Dir", L"00000002:250050", L"C:\\A"),
        CLogRecord::RegistryKey(2, L"Software\\V"),
        CLogRecord::ProgramsEntry(2, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\X"),
    });
    // A surrogate pair and a lone surrogate (a name Windows allows) survive too.
    std::wstring odd = L"C:\\";
    odd += static_cast<wchar_t>(0xD83D);
    odd += static_cast<wchar_t>(0xDE00);
    odd += static_cast<wchar_t>(0xDC00);
    log.Add(CLogRecord::File(odd));
    std::string text = log.ToText();
    EXPECT_EQ(text.rfind(kHead, 0), 0u);
    EXPECT_NE(text.find("\r\nF\tC:\\App\\a%09b%25c%0D%0A.txt\r\n"), std::string::npos);
    EXPECT_EQ(Outline(Read(text)), Outline(log));
    EXPECT_EQ(Read(text).ToText(), text);
}

TEST(CInstallLogTest, NamedFieldsReadTheirPlace)
{
    CInstallLog log = Read(kHead +
                           "P\tC:\\App\r\nN\tID\r\nI\tf.ini\tSec\tKey\t1\t=old\tnew\r\n"
                           "R\t2\tSoftware\\K\tName\t-\tours\r\nO\tC:\\F\\a.ttf\ta\r\n");
    ASSERT_EQ(log.Records().size(), 5u);
    EXPECT_EQ(*log.PlaceDir(), L"C:\\App");
    EXPECT_EQ(*log.ProductId(), L"ID");
    const CLogRecord& ini = log.Records()[2];
    EXPECT_EQ(ini.IniFile(), L"f.ini");
    EXPECT_EQ(ini.IniSection(), L"Sec");
    EXPECT_EQ(ini.IniEntryName(), L"Key");
    EXPECT_TRUE(ini.IniNewFile());
    EXPECT_TRUE(ini.HadEarlier());
    EXPECT_EQ(ini.Earlier(), L"=old");
    EXPECT_EQ(ini.Ours(), L"new");
    const CLogRecord& value = log.Records()[3];
    EXPECT_EQ(value.Root(), 2u);
    EXPECT_EQ(value.Key(), L"Software\\K");
    EXPECT_EQ(value.ValueName(), L"Name");
    EXPECT_FALSE(value.HadEarlier());
    EXPECT_EQ(value.Ours(), L"ours");
    // A font written without its count field (the older form) is an uncounted font.
    EXPECT_FALSE(log.Records()[4].Counted());
    EXPECT_EQ(log.Records()[4].FontValueName(), L"a");
}

// Lines that are not records of ours are skipped, and the rest still read: a wrong field
// count, an unknown or long kind, a root out of range, a bad font flag.
TEST(CInstallLogTest, LinesThatDoNotParseAreSkipped)
{
    struct Case {
        const char* line;
        bool kept;
    } cases[] = {
        {"F\tC:\\a", true},
        {"F", false},
        {"F\tC:\\a\textra", false},
        {"FX\tC:\\a", false},
        {"Z\tC:\\a", false},
        {"R\t4\tk\tn\t-\tv", false},
        {"R\t1\tk\tn\t-", false},
        {"R\t\tk\tn\t-\tv", false},
        {"K\t3\tk", true},
        {"O\tp\tn\tX", false},
        {"O\tp\tn\tS", true},
        {"I\tf\ts\te\t0\t-", false},
        {"U\t0\tk", true},
        {"F\tC:\\%zz%4", true},
        {"", false},
    };
    for (const Case& c : cases) {
        CInstallLog log = Read(kHead + c.line + "\r\nP\tC:\\after\r\n");
        EXPECT_EQ(log.Records().size(), c.kept ? 2u : 1u) << c.line;
        EXPECT_EQ(log.Records().back().Path(), L"C:\\after") << c.line;
    }
    EXPECT_EQ(Read(kHead + "F\tC:\\%zz%4").Records()[0].Path(), L"C:\\%zz%4");
}

TEST(CInstallLogTest, OnlyTextWithTheHeaderIsALog)
{
    for (std::string text : {std::string(), std::string("Velkan install log"),
                             std::string("Velkan install log 10\r\n"), std::string("x") + kHead}) {
        EXPECT_FALSE(CInstallLog::FromText(text).has_value()) << text;
    }
    EXPECT_TRUE(CInstallLog::FromText(CInstallLog::kHeader).has_value());
    EXPECT_TRUE(CInstallLog::FromText(std::string(CInstallLog::kHeader) + "\n").has_value());
    std::string large = kHead + std::string(CInstallLog::kMaxSize, '\n');
    EXPECT_FALSE(CInstallLog::FromText(large).has_value());
}

// Merging a later run into the log of the earlier ones. Each case: the earlier log, the later
// run's records, the merged log.
TEST(CInstallLogTest, MergeKeepsEveryEarlierRecordInItsPlace)
{
    struct Case {
        const char* name;
        CInstallLog earlier;
        CInstallLog later;
        CInstallLog merged;
    } cases[] = {
        {"a repair makes the same things: nothing moves, our value is the later one",
         Log({CLogRecord::Place(L"C:\\A"), CLogRecord::Folder(L"C:\\A"),
              CLogRecord::File(L"C:\\A\\x"), CLogRecord::RegistryKey(1, L"Software\\P"),
              CLogRecord::RegistryValue(1, L"Software\\P", L"v", L"-", L"one")}),
         Log({CLogRecord::Place(L"c:\\a"), CLogRecord::File(L"C:\\A\\X"),
              CLogRecord::RegistryValue(1, L"SOFTWARE\\p", L"V", L"=one", L"two")}),
         Log({CLogRecord::Place(L"C:\\A"), CLogRecord::Folder(L"C:\\A"),
              CLogRecord::File(L"C:\\A\\x"), CLogRecord::RegistryKey(1, L"Software\\P"),
              CLogRecord::RegistryValue(1, L"Software\\P", L"v", L"-", L"two")})},
        {"an upgrade adds its new things after the earlier ones, in its order",
         Log({CLogRecord::Place(L"C:\\A"), CLogRecord::File(L"C:\\A\\x")}),
         Log({CLogRecord::Place(L"C:\\A"), CLogRecord::Folder(L"C:\\A\\new"),
              CLogRecord::File(L"C:\\A\\new\\y"), CLogRecord::File(L"C:\\A\\x")}),
         Log({CLogRecord::Place(L"C:\\A"), CLogRecord::File(L"C:\\A\\x"),
              CLogRecord::Folder(L"C:\\A\\new"), CLogRecord::File(L"C:\\A\\new\\y")})},
        {"the earlier value by type stays the first run's",
         Log({CLogRecord::RegistryValue(2, L"K", L"n", L"00000004:2A000000", L"x"),
              CLogRecord::IniEntry(L"f.ini", L"s", L"e", false, L"=old", L"x")}),
         Log({CLogRecord::RegistryValue(2, L"k", L"N", L"00000001:780000", L"y"),
              CLogRecord::IniEntry(L"F.INI", L"S", L"E", false, L"=x", L"y")}),
         Log({CLogRecord::RegistryValue(2, L"K", L"n", L"00000004:2A000000", L"y"),
              CLogRecord::IniEntry(L"f.ini", L"s", L"e", false, L"=old", L"y")})},
        {"the same name in another root or another kind is another thing",
         Log({CLogRecord::RegistryValue(1, L"K", L"n"), CLogRecord::File(L"C:\\x")}),
         Log({CLogRecord::RegistryValue(2, L"K", L"n"), CLogRecord::SharedFile(L"C:\\x")}),
         Log({CLogRecord::RegistryValue(1, L"K", L"n"), CLogRecord::File(L"C:\\x"),
              CLogRecord::RegistryValue(2, L"K", L"n"), CLogRecord::SharedFile(L"C:\\x")})},
        {"names that differ beyond ASCII case are compared without case too",
         Log({CLogRecord::File(L"C:\\Café\\Ärger.txt"), CLogRecord::File(L"C:\\Δ\\ж")}),
         Log({CLogRecord::File(L"C:\\CAFÉ\\ärger.TXT"), CLogRecord::File(L"C:\\δ\\Ж")}),
         Log({CLogRecord::File(L"C:\\Café\\Ärger.txt"), CLogRecord::File(L"C:\\Δ\\ж")})},
    };
    for (Case& c : cases) {
        CInstallLog merged = c.earlier;
        merged.Merge(c.later);
        EXPECT_EQ(Outline(merged), Outline(c.merged)) << c.name;
        // Merging the same run again changes nothing more.
        CInstallLog twice = merged;
        twice.Merge(c.later);
        EXPECT_EQ(Outline(twice), Outline(merged)) << c.name;
    }
}

// The undo walks a log last first: every key after the values in it, every folder after the
// files in it, however many runs merged into the log.
TEST(CInstallLogTest, MergedLogsUndoInnerThingsFirst)
{
    CInstallLog first = Log({CLogRecord::Place(L"C:\\A"), CLogRecord::Folder(L"C:\\A"),
                             CLogRecord::File(L"C:\\A\\x"), CLogRecord::RegistryKey(1, L"S\\P"),
                             CLogRecord::RegistryValue(1, L"S\\P", L"v")});
    CInstallLog repair =
        Log({CLogRecord::Place(L"C:\\A"), CLogRecord::File(L"C:\\A\\x"),
             CLogRecord::RegistryValue(1, L"S\\P", L"v"), CLogRecord::Folder(L"C:\\A\\sub"),
             CLogRecord::File(L"C:\\A\\sub\\y"), CLogRecord::RegistryValue(1, L"S\\P", L"w")});
    CInstallLog merged = first;
    merged.Merge(repair);
    merged.Merge(repair);
    const auto& records = merged.Records();
    // The undo meets records[i] before records[j] for j < i.
    for (size_t i = 0; i < records.size(); ++i) {
        for (size_t j = i + 1; j < records.size(); ++j) {
            const CLogRecord& early = records[i];
            const CLogRecord& late = records[j];
            EXPECT_FALSE(late.Kind() == LogKind::RegistryKey &&
                         early.Kind() == LogKind::RegistryValue && early.Key() == late.Key())
                << "a key would be undone before its value: " << i << ", " << j;
            EXPECT_FALSE(late.Kind() == LogKind::Folder && early.Kind() == LogKind::File &&
                         early.Path().rfind(late.Path() + L"\\", 0) == 0)
                << "a folder would be undone before its file: " << i << ", " << j;
        }
    }
    EXPECT_EQ(records.size(), 8u);
}

TEST(CInstallLogTest, CountedFilesAreSharedFilesAndCountedFonts)
{
    CInstallLog log =
        Log({CLogRecord::SharedFile(L"C:\\W\\a.dll"), CLogRecord::Font(L"C:\\W\\f.ttf", L"f", true),
             CLogRecord::Font(L"C:\\W\\g.ttf", L"g", false), CLogRecord::File(L"C:\\W\\b.dll")});
    EXPECT_TRUE(log.CountedFile(L"c:\\w\\A.DLL"));
    EXPECT_TRUE(log.CountedFile(L"C:\\W\\f.ttf"));
    EXPECT_FALSE(log.CountedFile(L"C:\\W\\g.ttf"));
    EXPECT_FALSE(log.CountedFile(L"C:\\W\\b.dll"));
}
