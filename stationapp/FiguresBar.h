#pragma once

#include <QWidget>

#include <cstdint>

class LineFigures;
class QGridLayout;
class QLabel;

// The line's figures across the top of the window, large, each with its words: done, failed,
// stopped, first-pass yield, devices per hour (in the last hour and since Start), mean
// download time; "—" where there is no figure yet. Object names of the figures: "Done",
// "Failed", "Stopped", "FirstPassYield", "PerHourLastHour", "PerHourSinceStart",
// "MeanDownload".
class FiguresBar : public QWidget
{
public:
    explicit FiguresBar(QWidget* parent = nullptr);

    // Shows the figures as they stand at nowMs (the per-hour figures change with time alone).
    void Show(const LineFigures& figures, int64_t nowMs);

private:
    QLabel* AddFigure(QGridLayout* grid, const char* name, const QString& words);

    QLabel* m_done;
    QLabel* m_failed;
    QLabel* m_stopped;
    QLabel* m_yield;
    QLabel* m_perHourLastHour;
    QLabel* m_perHourSinceStart;
    QLabel* m_meanDownload;
};
