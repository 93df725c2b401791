#pragma once

#include <QString>

#include <map>

// The percentage of steps done as the text sinks show it: rounded down, so that 100 % means
// every step is done.
int FlooredPercent(int value, int maximum);

// "[#####---------------]  25 %": a bar of width characters and the floored percentage.
QString ProgressBar(int value, int maximum, int width);

// Decides, per port, when a progress line is due: when programming starts (step 0) and
// whenever a further tenth of the steps is done, so a download makes eleven lines.
class TenthsOfTheWay
{
public:
    bool Due(const QString& port, int value, int maximum);

private:
    std::map<QString, int> m_shown; // the last tenth shown, per port
};
