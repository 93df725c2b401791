#include "SameFile.h"

#include <QFile>

#ifdef _WIN32
#include <filesystem>
#else
#include <sys/stat.h>
#endif

bool SameFile(const QString& a, const QString& b)
{
#ifdef _WIN32
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(a.toStdU16String()),
                                       std::filesystem::path(b.toStdU16String()), error);
#else
    struct stat first = {};
    struct stat second = {};
    return stat(QFile::encodeName(a).constData(), &first) == 0 &&
           stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
#endif
}
