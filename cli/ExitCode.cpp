#include "Commands.h"

#include "VisibleText.h"

#include <cstdio>

int UsageError(const char* command, const QString& message)
{
    std::fprintf(stderr, "norvane-flash%s%s: %s\nTry 'norvane-flash%s%s --help'.\n",
                 *command ? " " : "", command, qPrintable(VisibleText(message)),
                 *command ? " " : "", command);
    return static_cast<int>(ExitCode::Usage);
}

int WithOutputChecked(int code)
{
    const bool lost = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    return lost && code == 0 ? static_cast<int>(ExitCode::OutputFailed) : code;
}
