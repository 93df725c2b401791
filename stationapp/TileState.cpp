#include "TileState.h"

bool IsEnded(TileState state)
{
    return state == TileState::Done || state == TileState::Failed || state == TileState::Stopped ||
           state == TileState::LineLost;
}

// Light backgrounds under near-black words (a contrast above 10:1 on each), and icons in the
// deep shade of the same hue.
TileColours ColoursOf(TileState state)
{
    switch (state) {
    case TileState::LeftAlone:
        return {QColor(0xf2, 0xf2, 0xf2), QColor(0x59, 0x59, 0x59)};
    case TileState::Waiting:
        return {QColor(0xe3, 0xe8, 0xef), QColor(0x3d, 0x4f, 0x66)};
    case TileState::Running:
        return {QColor(0xcf, 0xe4, 0xfa), QColor(0x0b, 0x4f, 0x9c)};
    case TileState::Retrying:
        return {QColor(0xff, 0xe8, 0xa3), QColor(0x8a, 0x5a, 0x00)};
    case TileState::Done:
        return {QColor(0xc4, 0xeb, 0xc8), QColor(0x1b, 0x6e, 0x2a)};
    case TileState::Failed:
        return {QColor(0xf9, 0xc6, 0xc6), QColor(0xa3, 0x12, 0x12)};
    case TileState::Stopped:
        return {QColor(0xe2, 0xdb, 0xf0), QColor(0x4e, 0x3a, 0x80)};
    case TileState::LineLost:
        return {QColor(0xff, 0xd3, 0xa8), QColor(0x9a, 0x40, 0x00)};
    case TileState::Unplugged:
        return {QColor(0xfa, 0xfa, 0xfa), QColor(0x80, 0x80, 0x80)};
    }
    return {};
}
