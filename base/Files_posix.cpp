#include "Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::FILE* OpenForReading(const std::filesystem::path& fname)
{
    if (fname.empty())
        return nullptr;
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
}
