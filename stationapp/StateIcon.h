#pragma once

#include "TileState.h"

#include <QWidget>

// The state's icon, a shape of its own per state (a check, a cross, a stop square, an arrow
// down, ...), painted at the size and display scale in use so that it stays sharp. A square
// as high as the font's line, times lines.
class StateIcon : public QWidget
{
public:
    StateIcon(double lines, QWidget* parent);

    void SetState(TileState state);
    TileState State() const { return m_state; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_lines;
    TileState m_state = TileState::Waiting;
};
