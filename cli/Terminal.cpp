#include "Terminal.h"

#ifdef _WIN32
#include <io.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <cstring>
#include <utility>

bool IsLiveTerminal(std::FILE* stream)
{
#ifdef _WIN32
    const bool terminal = _isatty(_fileno(stream)) != 0;
#else
    const bool terminal = isatty(fileno(stream)) != 0;
#endif
    const char* term = std::getenv("TERM");
    const char* noColor = std::getenv("NO_COLOR");
    return terminal && term && *term && std::strcmp(term, "dumb") != 0 && !(noColor && *noColor);
}

namespace {

// The columns and lines of a terminal; 0 for what it does not say.
std::pair<int, int> TerminalSize(std::FILE* stream)
{
#ifndef _WIN32
    winsize size{};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0)
        return {size.ws_col, size.ws_row};
#else
    (void)stream;
#endif
    return {0, 0};
}

} // namespace

int TerminalWidth(std::FILE* stream)
{
    constexpr int kDefaultWidth = 80;
    const int columns = TerminalSize(stream).first;
    return columns > 0 ? columns : kDefaultWidth;
}

int TerminalHeight(std::FILE* stream)
{
    constexpr int kDefaultHeight = 24;
    const int lines = TerminalSize(stream).second;
    return lines > 0 ? lines : kDefaultHeight;
}
