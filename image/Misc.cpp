#include "Misc.h"

#include "Deadline.h"

#include <cstdio>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

void Delay(Host& host, int32_t ms)
{
    const Deadline deadline(host, ms);
    do {
        // The remaining time lets a real host sleep until an event or the deadline.
        host.ProcessEvents(deadline.Remaining());
    } while (!deadline.Expired());
}

std::string FormatHexBits(uint32_t bits, int16_t width)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char buffer[8];
    int n = 0;
    do {
        buffer[n++] = kDigits[bits & 0xF];
        bits >>= 4;
    } while (bits != 0);
    std::string text;
    if (width > n)
        text.assign(static_cast<std::size_t>(width - n), '0');
    while (n > 0)
        text.push_back(buffer[--n]);
    return text;
}

std::string GetDirectory(const std::string& path)
{
    if (path.empty() || path.front() == '\0')
        return {};
#ifdef _WIN32
    const auto separator = path.find_last_of('\\');
#else
    const auto separator = path.find_last_of("\\/");
#endif
    if (separator == std::string::npos)
        return {};
    return path.substr(0, separator);
}

std::FILE* OpenForReading(const std::filesystem::path& fname)
{
    if (fname.empty())
        return nullptr;
#ifdef _WIN32
    std::FILE* file = _wfopen(fname.c_str(), L"rb");
#else
    std::FILE* file = std::fopen(fname.c_str(), "rb");
#endif
    if (!file)
        return nullptr;
#ifndef _WIN32
    struct stat info
    {
    };
    if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
#endif
    return file;
}

bool FileExists(const std::filesystem::path& fname)
{
    std::FILE* file = OpenForReading(fname);
    return file && std::fclose(file) == 0;
}
