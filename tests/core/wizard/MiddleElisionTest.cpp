// A long path on one line: its middle left out, measured here one unit per character.
#include "core/wizard/MiddleElision.h"

#include <gtest/gtest.h>

namespace velkan {
namespace {

TEST(MiddleElision, KeepsTheStartOfThePathAndTheEndOfTheName)
{
    auto characters = [](const std::wstring& text) { return static_cast<int>(text.size()); };
    struct Case {
        const wchar_t* path;
        int width;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {L"", 10, L""},
        {L"a\\b.txt", 7, L"a\\b.txt"},  // fits exactly
        // The file name whole, the rest of the room to the start of the path.
        {L"Shared-Components\\runtime\\shim.dat", 20, L"Shared-C...\\shim.dat"},
        // A name longer than the room: two thirds to its end, a third to the path's start.
        {L"Shared\\graphics-rendering-pipeline-shim-x86-64.dat", 24, L"Shared\\...him-x86-64.dat"},
        {L"graphics-rendering-pipeline-compatibility-shim.dat", 18, L"graph...y-shim.dat"},
        // Less room than the elision itself: the elision alone, nothing else.
        {L"abcdefghij", 2, L"..."},
    };
    for (const Case& c : cases) {
        std::wstring shown = ElideMiddle(c.path, c.width, characters);
        EXPECT_EQ(shown, c.shown) << c.width;
    }
}

// Widths that are not one per character: the result still fits, and keeps the most it can.
TEST(MiddleElision, FitsAnyMeasure)
{
    auto wideCapitals = [](const std::wstring& text) {
        int w = 0;
        for (wchar_t c : text) w += (c >= L'A' && c <= L'Z') ? 3 : 1;
        return w;
    };
    const std::wstring path =
        L"Program-Files\\Some-Vendor\\A-Rather-Long-Product-Name\\Main-Program.exe";
    for (int width = 3; width < wideCapitals(path); ++width) {
        std::wstring shown = ElideMiddle(path, width, wideCapitals);
        EXPECT_LE(wideCapitals(shown), width) << width;
        EXPECT_NE(shown.find(kElision), std::wstring::npos) << width;
    }
    EXPECT_EQ(ElideMiddle(path, wideCapitals(path), wideCapitals), path);
}

}  // namespace
}  // namespace velkan
