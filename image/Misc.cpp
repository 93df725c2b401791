#include "Misc.h"

#include "Deadline.h"

#include <cstdio>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
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
    std::error_code error;
    if (!std::filesystem::is_regular_file(fname, error))
        return nullptr;
    return _wfopen(fname.c_str(), L"rb");
#else
    // Only a regular file is opened. The name is looked at first, so that a device node is
    // never opened (opening a serial port raises its modem lines); O_NONBLOCK covers a name
    // that is replaced in between: opening a FIFO for reading would otherwise wait for a
    // writer.
    struct stat info
    {
    };
    if (stat(fname.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr;
    const int fd = open(fname.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    // A regular file never blocks; reads go back to the ordinary blocking mode.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "rb");
    if (!file)
        close(fd);
    return file;
#endif
}

bool FileExists(const std::filesystem::path& fname)
{
    std::FILE* file = OpenForReading(fname);
    return file && std::fclose(file) == 0;
}
