#pragma once

#include <QString>
#include <QStringList>

#include <array>

class QComboBox;
class QFontMetrics;
class QPushButton;

// What the controls need around their texts, so that a layout can make room for a text to be
// shown whole rather than cut.

// The width of a caption as drawn: an "&" that marks the access key takes no room.
int CaptionWidth(const QFontMetrics& metrics, const QString& caption);

// The pixels a control adds to its text's width: frames, margins, a combo box's arrow.
int TextChrome(const QPushButton& button);
int TextChrome(const QComboBox& combo);

// The texts the four status bar panels show, the longest included, with every CRC written in
// the digits that are widest in `metrics`.
std::array<QStringList, 4> PanelTexts(const QFontMetrics& metrics);
