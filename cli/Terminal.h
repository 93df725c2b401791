#pragma once

#include <cstdio>

// Whether a stream is a terminal that takes cursor movement: not a pipe or a file, and not
// a terminal that asks for plain output (TERM unset or "dumb", or NO_COLOR set).
bool IsLiveTerminal(std::FILE* stream);
// The columns of a terminal, 80 when unknown.
int TerminalWidth(std::FILE* stream);
// The lines of a terminal, 24 when unknown.
int TerminalHeight(std::FILE* stream);
