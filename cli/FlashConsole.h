#pragma once

#include <cstdio>

// Whether a stream is a terminal, and how many columns it has (80 when unknown).
bool IsTerminal(std::FILE* stream);
int TerminalWidth(std::FILE* stream);
