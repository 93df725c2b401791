#include "ProgressPercent.h"

#include <gtest/gtest.h>

namespace {

struct PercentCase
{
    int value;
    int maximum;
    const char* text;
};

class Percent : public ::testing::TestWithParam<PercentCase>
{
};

TEST_P(Percent, RoundsHalvesUp)
{
    EXPECT_EQ(ProgressPercentText(GetParam().value, GetParam().maximum), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, Percent,
                         ::testing::Values(PercentCase{0, 5, "0 %"}, PercentCase{1, 3, "33 %"},
                                           PercentCase{2, 3, "67 %"}, PercentCase{3, 3, "100 %"},
                                           PercentCase{1, 8, "13 %"}, PercentCase{3, 8, "38 %"},
                                           PercentCase{1, 200, "1 %"}, PercentCase{1, 2048, "0 %"},
                                           PercentCase{2047, 2048, "100 %"}));

} // namespace
