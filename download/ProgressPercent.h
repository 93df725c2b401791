#pragma once

#include <QString>

// The percentage shown after each step: value / maximum * 100 in single precision, rounded to
// a whole number with halves going up, written as "37 %".
int ProgressPercent(int value, int maximum);
QString ProgressPercentText(int value, int maximum);
