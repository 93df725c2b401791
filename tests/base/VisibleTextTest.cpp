// VisibleText: every character a terminal would obey or that would reorder the line is shown
// as an escape; everything else, any script included, is kept.
#include "VisibleText.h"

#include <gtest/gtest.h>

namespace {

TEST(VisibleTextTest, ShowsControlCharactersAndKeepsTheRest)
{
    const struct
    {
        QString text;
        QString shown;
    } rows[] = {
        {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyUSB0")},
        {QStringLiteral("a\x1b[2Jb"), QStringLiteral("a\\x1b[2Jb")},
        {QStringLiteral("one\r\ntwo\tthree"), QStringLiteral("one\\r\\ntwo\\tthree")},
        {QStringLiteral("\x7f\u0080\u009b\u009f\x01"), QStringLiteral("\\x7f\\x80\\x9b\\x9f\\x01")},
        {QStringLiteral("fw\u202egpj.mot"), QStringLiteral("fw\\u202egpj.mot")},
        {QStringLiteral("\u202a\u202d\u2066\u2069\u200e\u200f\u061c"),
         QStringLiteral("\\u202a\\u202d\\u2066\\u2069\\u200e\\u200f\\u061c")},
        {QStringLiteral("Grüße ✓ C:\\fw.mot \u00a0\u2065\u206a\u200d עברית"),
         QStringLiteral("Grüße ✓ C:\\fw.mot \u00a0\u2065\u206a\u200d עברית")},
    };
    for (const auto& row : rows)
        EXPECT_EQ(VisibleText(row.text), row.shown) << row.text.toStdString();
}

} // namespace
