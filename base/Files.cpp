#include "Files.h"

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

bool FileExists(const std::filesystem::path& fname)
{
    std::FILE* file = OpenForReading(fname);
    return file && std::fclose(file) == 0;
}
