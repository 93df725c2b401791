#include "FiguresBar.h"

#include "LineFigures.h"

#include <QGridLayout>
#include <QLabel>

#include <cmath>

namespace {

constexpr double kFigureScale = 2.2;
constexpr double kWordsScale = 1.2;
const QString kNoFigure = QStringLiteral("\u2014");

QFont Scaled(QFont font, double scale, bool bold)
{
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(bold);
    return font;
}

QString Whole(std::optional<double> value)
{
    return value ? QString::number(std::lround(*value)) : kNoFigure;
}

} // namespace

FiguresBar::FiguresBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FiguresBar"));
    auto* grid = new QGridLayout(this);
    m_done = AddFigure(grid, "Done", QStringLiteral("done"));
    m_failed = AddFigure(grid, "Failed", QStringLiteral("failed"));
    m_stopped = AddFigure(grid, "Stopped", QStringLiteral("stopped"));
    m_yield = AddFigure(grid, "FirstPassYield", QStringLiteral("first-pass\nyield"));
    m_perHourLastHour = AddFigure(grid, "PerHourLastHour", QStringLiteral("per hour,\nlast hour"));
    m_perHourSinceStart =
        AddFigure(grid, "PerHourSinceStart", QStringLiteral("per hour\nsince Start"));
    m_meanDownload = AddFigure(grid, "MeanDownload", QStringLiteral("mean\ndownload time"));
}

// A column of the grid: the figure above its words.
QLabel* FiguresBar::AddFigure(QGridLayout* grid, const char* name, const QString& words)
{
    const int column = grid->count() / 2;
    auto* figure = new QLabel(kNoFigure, this);
    figure->setObjectName(QString::fromLatin1(name));
    figure->setFont(Scaled(font(), kFigureScale, true));
    figure->setAlignment(Qt::AlignCenter);
    auto* caption = new QLabel(words, this);
    caption->setObjectName(QString::fromLatin1(name) + QStringLiteral("Words"));
    caption->setFont(Scaled(font(), kWordsScale, false));
    caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    grid->addWidget(figure, 0, column);
    grid->addWidget(caption, 1, column);
    return figure;
}

void FiguresBar::Show(const LineFigures& figures, int64_t nowMs)
{
    m_done->setText(QString::number(figures.Done()));
    m_failed->setText(QString::number(figures.Failed()));
    m_stopped->setText(QString::number(figures.Stopped()));
    const auto yield = figures.FirstPassYield();
    m_yield->setText(yield ? QStringLiteral("%1 %").arg(std::lround(*yield * 100)) : kNoFigure);
    m_perHourLastHour->setText(Whole(figures.PerHourLastHour(nowMs)));
    m_perHourSinceStart->setText(Whole(figures.PerHourSinceStart(nowMs)));
    const auto mean = figures.MeanDownloadMs();
    m_meanDownload->setText(
        mean ? QStringLiteral("%1 s").arg(static_cast<double>(*mean) / 1000.0, 0, 'f', 1)
             : kNoFigure);
}
