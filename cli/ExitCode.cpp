#include "Commands.h"

#include <cstdio>

namespace {

struct ExitCodeFacts
{
    ExitCode code;
    int rank; // higher: the device is left in a worse state
    const char* word;
    const char* phrase;
};

constexpr ExitCodeFacts kFacts[] = {
    {ExitCode::DownloadFailed, 5, "failed", "download failed"},
    {ExitCode::Cancelled, 4, "cancelled", "cancelled"},
    {ExitCode::BootloaderNotStarted, 3, "bootloader-not-started", "bootloader did not start"},
    {ExitCode::PortUnavailable, 2, "port-unavailable", "port cannot be opened"},
    {ExitCode::FileNotUsable, 1, "file-unusable", "file not usable"},
    {ExitCode::Ok, 0, "downloaded", "downloaded"},
};

const ExitCodeFacts& FactsOf(ExitCode code)
{
    for (const ExitCodeFacts& facts : kFacts) {
        if (facts.code == code)
            return facts;
    }
    return kFacts[0]; // any other code ends no download; it never reaches a port's outcome
}

} // namespace

ExitCode WorseOf(ExitCode a, ExitCode b)
{
    return FactsOf(b).rank > FactsOf(a).rank ? b : a;
}

QString OutcomeWord(ExitCode code)
{
    return QString::fromLatin1(FactsOf(code).word);
}

QString OutcomePhrase(ExitCode code)
{
    return QString::fromLatin1(FactsOf(code).phrase);
}

int UsageError(const char* command, const QString& message)
{
    std::fprintf(stderr, "norvane-flash%s%s: %s\nTry 'norvane-flash%s%s --help'.\n",
                 *command ? " " : "", command, qPrintable(message), *command ? " " : "", command);
    return static_cast<int>(ExitCode::Usage);
}

int WithOutputChecked(int code)
{
    const bool lost = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    return lost && code == 0 ? static_cast<int>(ExitCode::OutputFailed) : code;
}
