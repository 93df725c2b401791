// The figures across the top: a dash until a figure can be told, then the figure in its unit.
#include "FiguresBar.h"
#include "LineFigures.h"
#include "TileResults.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

QString Figure(const FiguresBar& bar, const char* name)
{
    return bar.findChild<QLabel*>(QString::fromLatin1(name))->text();
}

TEST(FiguresBar, DashUntilThereIsAFigure)
{
    FiguresBar bar;
    LineFigures figures;
    figures.Start(0);
    bar.Show(figures, 1000);
    const QString dash = QStringLiteral("\u2014");
    EXPECT_EQ(Figure(bar, "Done"), QStringLiteral("0"));
    for (const char* name :
         {"FirstPassYield", "PerHourLastHour", "PerHourSinceStart", "MeanDownload"})
        EXPECT_EQ(Figure(bar, name), dash) << name;

    figures.Ended(DownloadedTry(QStringLiteral("p"), 1, 41'000), 60'000);
    figures.Ended(DownloadedTry(QStringLiteral("p"), 2, 43'400), 120'000);
    figures.Ended(FailedTry(QStringLiteral("p"), 3, FailureKind::NoReply), 150'000);
    bar.Show(figures, 180'000);
    EXPECT_EQ(Figure(bar, "Done"), QStringLiteral("2"));
    EXPECT_EQ(Figure(bar, "Failed"), QStringLiteral("1"));
    EXPECT_EQ(Figure(bar, "Stopped"), QStringLiteral("0"));
    EXPECT_EQ(Figure(bar, "FirstPassYield"), QStringLiteral("33 %"));
    EXPECT_EQ(Figure(bar, "PerHourLastHour"), QStringLiteral("40"));
    EXPECT_EQ(Figure(bar, "PerHourSinceStart"), QStringLiteral("40"));
    EXPECT_EQ(Figure(bar, "MeanDownload"), QStringLiteral("42.2 s"));
}

} // namespace
