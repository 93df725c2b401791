#include "FaultPlan.h"

#include <gtest/gtest.h>

namespace {

TEST(FaultPlanTest, ReadsEveryKindOfFault)
{
    QString error;
    const std::optional<FaultPlan> plan = ParseFaultPlan(
        QStringLiteral("no-polls, garbage-polls,fail-verify,close-after:5,drop:1:2,change:2:1:0x07,"
                       "one-byte:3:2,late:4:1,late:4:2:800,garbage:5:1"),
        &error);
    ASSERT_TRUE(plan.has_value()) << error.toStdString();
    EXPECT_TRUE(plan->neverAnswerPolls);
    EXPECT_TRUE(plan->garbagePolls);
    EXPECT_TRUE(plan->failVerify);
    EXPECT_EQ(plan->closeAfterCommands, 5);
    ASSERT_EQ(plan->replyFaults.size(), 6u);
    EXPECT_EQ(plan->FaultFor(1, 2)->kind, ReplyFaultKind::Drop);
    EXPECT_EQ(plan->FaultFor(2, 1)->code, 7);
    EXPECT_EQ(plan->FaultFor(3, 2)->kind, ReplyFaultKind::OneByte);
    EXPECT_EQ(plan->FaultFor(4, 1)->delayMs, kDefaultLateMs);
    EXPECT_EQ(plan->FaultFor(4, 2)->delayMs, 800);
    EXPECT_EQ(plan->FaultFor(5, 1)->kind, ReplyFaultKind::Garbage);
    EXPECT_EQ(plan->FaultFor(5, 2), nullptr);
}

TEST(FaultPlanTest, RefusesMalformedItemsWithAReason)
{
    for (const char* text :
         {"drop", "drop:1", "drop:0:1", "drop:1:5", "change:1:1", "change:1:1:256", "late:1:1:x",
          "close-after", "close-after:-1", "no-polls:3", "melt"}) {
        QString error;
        EXPECT_FALSE(ParseFaultPlan(QString::fromLatin1(text), &error).has_value()) << text;
        EXPECT_FALSE(error.isEmpty()) << text;
    }
}

TEST(FaultPlanTest, EmptyTextIsNoFault)
{
    QString error;
    const std::optional<FaultPlan> plan = ParseFaultPlan(QString(), &error);
    ASSERT_TRUE(plan.has_value());
    EXPECT_FALSE(plan->neverAnswerPolls);
    EXPECT_TRUE(plan->replyFaults.empty());
}

} // namespace
