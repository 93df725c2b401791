// The outcome table: the rank of outcomes, and a word, sentence and outcome for every failure.
#include "Outcome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TEST(OutcomeTest, WorstDeviceStateWinsWhateverTheOrder)
{
    // Worst first: programming began and failed, cancelled, then nothing was programmed.
    const std::vector<Outcome> worstFirst = {
        Outcome::Failed,          Outcome::Cancelled,    Outcome::BootloaderNotStarted,
        Outcome::PortUnavailable, Outcome::FileUnusable, Outcome::Downloaded};
    for (size_t i = 0; i < worstFirst.size(); ++i) {
        for (size_t j = 0; j < worstFirst.size(); ++j)
            EXPECT_EQ(WorseOutcome(worstFirst[i], worstFirst[j]), worstFirst[std::min(i, j)]);
    }
}

TEST(OutcomeTest, WordsAndExitCodesAreStableAndReadBack)
{
    const QStringList words = OutcomeWords();
    EXPECT_EQ(words, QStringList({"downloaded", "failed", "cancelled", "file-unusable",
                                  "port-unavailable", "bootloader-not-started"}));
    for (int code = 0; code < words.size(); ++code) {
        const std::optional<Outcome> outcome = OutcomeFromWord(words[code]);
        ASSERT_TRUE(outcome);
        EXPECT_EQ(OutcomeExitCode(*outcome), code);
    }
    EXPECT_FALSE(OutcomeFromWord("Downloaded"));
}

TEST(OutcomeTest, EveryFailureHasAWordASentenceAndAFailedOutcome)
{
    for (int kind = static_cast<int>(FailureKind::NoReply);
         kind <= static_cast<int>(FailureKind::FileNotUsable); ++kind) {
        FailureReason reason;
        reason.kind = static_cast<FailureKind>(kind);
        SCOPED_TRACE(kind);
        EXPECT_FALSE(ReasonWord(reason.kind).isEmpty());
        EXPECT_FALSE(ReasonText(reason).isEmpty());
        EXPECT_NE(OutcomeOf(reason.kind), Outcome::Downloaded);
        EXPECT_NE(OutcomeOf(reason.kind), Outcome::Cancelled);
    }
    EXPECT_EQ(ReasonWords().size(), static_cast<int>(FailureKind::FileNotUsable));
    EXPECT_TRUE(ReasonWord(FailureKind::None).isEmpty());
}

} // namespace
