#include "Terminal.h"

#ifdef _WIN32
#include <io.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <cstring>

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

int TerminalWidth(std::FILE* stream)
{
    constexpr int kDefaultWidth = 80;
#ifndef _WIN32
    winsize size{};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
#else
    (void)stream;
#endif
    return kDefaultWidth;
}

int TerminalHeight(std::FILE* stream)
{
    constexpr int kDefaultHeight = 24;
#ifndef _WIN32
    winsize size{};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_row > 0)
        return size.ws_row;
#else
    (void)stream;
#endif
    return kDefaultHeight;
}
