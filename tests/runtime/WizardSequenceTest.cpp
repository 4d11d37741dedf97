// The install wizard's page sequence, without Windows.
#include "runtime/wizard/WizardSequence.h"

#include <gtest/gtest.h>

#include <vector>

namespace velkan::runtime {
namespace {

using P = WizardPage;

struct SequenceCase {
    const char* name;
    WizardFacts facts;
    std::vector<P> pages;
};

TEST(WizardSequence, PagesShownForTheVersionsAndTheInformationText)
{
    const SequenceCase cases[] = {
        {
            "one version",
            {1, false, false, false},
            {P::kPresentation, P::kInformation, P::kDirectory, P::kConfirmation, P::kProgress,
             P::kEnd},
        },
        {
            "several versions",
            {3, false, false, false},
            {P::kPresentation, P::kInformation, P::kVersion, P::kDirectory, P::kConfirmation,
             P::kProgress, P::kEnd},
        },
        {
            "blank information",
            {2, true, false, false},
            {P::kPresentation, P::kVersion, P::kDirectory, P::kConfirmation, P::kProgress, P::kEnd},
        },
        {
            "read-only directory keeps its page",
            {1, true, true, false},
            {P::kPresentation, P::kDirectory, P::kConfirmation, P::kProgress, P::kEnd},
        },
    };
    for (const SequenceCase& c : cases) {
        CWizardSequence sequence(c.facts);
        EXPECT_EQ(sequence.Pages(), c.pages) << c.name;
        EXPECT_EQ(sequence.DirectoryEditable(), !c.facts.directoryReadOnly) << c.name;
        // Next walks the pages in order and stops at the end.
        std::vector<P> walked{sequence.Pages().front()};
        while (auto next = sequence.Next(walked.back())) walked.push_back(*next);
        EXPECT_EQ(walked, c.pages) << c.name;
    }
}

TEST(WizardSequence, BlankTexts)
{
    EXPECT_TRUE(IsBlankText(""));
    EXPECT_TRUE(IsBlankText(" "));
    EXPECT_TRUE(IsBlankText(" \r\n\t"));
    EXPECT_FALSE(IsBlankText(" a "));
}

TEST(WizardSequence, BackFromEachPage)
{
    struct Case {
        bool testMode;
        P page;
        std::optional<P> back;
    };
    const Case cases[] = {
        {false, P::kPresentation, std::nullopt},
        {false, P::kInformation, P::kPresentation},
        {false, P::kVersion, P::kInformation},
        {false, P::kDirectory, P::kVersion},
        {false, P::kConfirmation, P::kDirectory},
        {false, P::kProgress, std::nullopt},  // files are being written: no way back
        {false, P::kEnd, std::nullopt},
        {true, P::kPresentation, std::nullopt},
        {true, P::kProgress, P::kConfirmation},  // a test program writes nothing
        {true, P::kEnd, P::kProgress},
    };
    for (const Case& c : cases) {
        CWizardSequence sequence({2, false, false, c.testMode});
        EXPECT_EQ(sequence.Back(c.page), c.back)
            << static_cast<int>(c.page) << " test " << c.testMode;
        EXPECT_EQ(sequence.BackButton(c.page).enabled, c.back.has_value())
            << static_cast<int>(c.page);
    }
    // With one version, Back from Directory skips the version choice.
    EXPECT_EQ(CWizardSequence({1, true, false, false}).Back(P::kDirectory), P::kPresentation);
}

TEST(WizardSequence, StartPageOfATestProgram)
{
    struct Case {
        WizardFacts facts;
        uint16_t code;
        P start;
    };
    const WizardFacts full{2, false, false, true};
    const WizardFacts lean{1, true, false, true};
    const Case cases[] = {
        {full, kNoStartPageCode, P::kPresentation},
        {full, 0, P::kPresentation},
        {full, 1, P::kInformation},
        {full, 2, P::kVersion},
        {full, 3, P::kDirectory},  // no page 3: the next one
        {full, 4, P::kDirectory},
        {full, 5, P::kConfirmation},
        {full, 6, P::kProgress},
        {full, 7, P::kEnd},
        {full, 8, P::kPresentation},  // unknown
        {lean, 1, P::kDirectory},     // blank information: the next page shown
        {lean, 2, P::kDirectory},     // one version: no choice to show
        {lean, kNoStartPageCode, P::kPresentation},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CWizardSequence(c.facts).StartPage(c.code), c.start) << c.code;
    }
}

TEST(WizardSequence, Buttons)
{
    CWizardSequence run({1, false, false, false});
    CWizardSequence test({1, false, false, true});
    // Captions: page 7 holds Back, Next, Exit, Start, OK, Cancel.
    EXPECT_EQ(run.NextButton(P::kConfirmation, false).caption.text, 3);
    EXPECT_EQ(run.NextButton(P::kEnd, false).caption.text, 4);
    EXPECT_EQ(run.NextButton(P::kDirectory, true).caption.text, 1);
    const TextSlot agree = run.NextButton(P::kInformation, true).caption;
    EXPECT_EQ(agree.page, 1);
    EXPECT_EQ(agree.text, 2);
    EXPECT_EQ(run.NextButton(P::kInformation, false).caption.page, 7);
    EXPECT_EQ(run.CancelButton(P::kPresentation).caption.text, 2);
    EXPECT_EQ(run.CancelButton(P::kProgress).caption.text, 5);
    // Progress moves on by itself in a real run; a test program lets the author step past it.
    EXPECT_FALSE(run.NextButton(P::kProgress, false).enabled);
    EXPECT_TRUE(test.NextButton(P::kProgress, false).enabled);
    // The End page finishes with OK; Cancel is gone there and asks nothing.
    EXPECT_FALSE(run.CancelButton(P::kEnd).visible);
    EXPECT_FALSE(run.CancelQuestion(P::kEnd).has_value());
    EXPECT_EQ(run.CancelQuestion(P::kProgress)->text, 13);
    EXPECT_EQ(run.CancelQuestion(P::kDirectory)->text, 14);
}

}  // namespace
}  // namespace velkan::runtime
