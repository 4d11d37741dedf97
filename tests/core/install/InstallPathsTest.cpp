// Path rules shared by the setup program and the uninstaller.
#include <gtest/gtest.h>

#include "core/install/InstallPaths.h"
#include "core/install/WideText.h"

using namespace velkan::install;

namespace {
std::string Narrow(const std::wstring& text)
{
    return ToUtf8(text);
}
}  // namespace

// Every spelling Windows opens as the same folder comes to one plain form, which the protected
// folders are compared in.
TEST(InstallPathsTest, PlainPathTakesEverySpellingToOneForm)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* plain;
    } cases[] = {
        {L"C:\\Windows\\System32", L"C:\\Windows\\System32"},
        {L"c:/windows//system32/", L"C:\\windows\\system32"},
        {L"\\\\?\\C:\\windows\\system32", L"C:\\windows\\system32"},
        {L"\\\\.\\C:\\windows", L"C:\\windows"},
        {L"\\\\?\\c:\\windows\\", L"C:\\windows"},
        {L"\\\\?\\UNC\\server\\share\\dir", L"\\\\server\\share\\dir"},
        {L"\\\\server\\share", L"\\\\server\\share"},
        {L"C:\\App\\..\\Windows\\.\\System32", L"C:\\Windows\\System32"},
        {L"C:\\Windows.\\System32. . ", L"C:\\Windows\\System32"},
        {L"C:\\", L"C:\\"},
        {L"\\\\?\\C:\\", L"C:\\"},
        {L"C:\\App\\..", L"C:\\"},
        {L"C:\\..", L""},
        {L"relative\\dir", L""},
        {L"C:relative", L""},
        {L"\\\\server", L""},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Narrow(PlainPath(c.path)), Narrow(c.plain)) << Narrow(c.path);
}

TEST(InstallPathsTest, InsideAndExtraFileRules)
{
    EXPECT_TRUE(IsInside(L"C:\\App\\x", L"C:\\app"));
    EXPECT_TRUE(IsInside(L"C:\\App", L"C:\\App\\"));
    EXPECT_FALSE(IsInside(L"C:\\AppData\\x", L"C:\\App"));
    EXPECT_FALSE(IsInside(L"C:\\Ap", L"C:\\App"));
    EXPECT_TRUE(MatchesExtra(L"notes.TXT", L".txt"));
    EXPECT_TRUE(MatchesExtra(L"anything", L"*"));
    EXPECT_FALSE(MatchesExtra(L".txt", L".txt"));
    EXPECT_FALSE(MatchesExtra(L"notes.txt2", L".txt"));
    EXPECT_FALSE(MatchesExtra(L"a.txt", L"."));
}

TEST(InstallPathsTest, TextConversionKeepsEveryUnit)
{
    std::wstring text = L"Café € 日本";
    text += static_cast<wchar_t>(0xD800);  // a lone surrogate
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    // Bytes that are no UTF-8 stand for themselves rather than vanish.
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b\xC3"),
              (std::wstring{L'a', 0xFF, L'b', 0xC3}));
    EXPECT_TRUE(SameName(L"ÉCOLE ΣΑΣ ДОМ", L"école σας дом"));
    EXPECT_FALSE(SameName(L"a", L"b"));
}
