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

const char* UnopenableText(Unopenable why)
{
    switch (why) {
    case Unopenable::Missing:
        return "cannot be opened for reading (missing)";
    case Unopenable::NoPermission:
        return "cannot be opened for reading (no permission)";
    case Unopenable::Folder:
        return "cannot be opened for reading (a folder)";
    case Unopenable::NotRegularFile:
        break;
    }
    return "cannot be opened for reading (not a regular file)";
}

Unopenable WhyUnopenable(const std::filesystem::path& fname)
{
    if (fname.empty())
        return Unopenable::Missing;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(fname, error);
    switch (status.type()) {
    case std::filesystem::file_type::not_found:
        return Unopenable::Missing;
    case std::filesystem::file_type::none: // the name could not be looked at: a folder on its
                                           // way that may not be searched
    case std::filesystem::file_type::regular:
        return Unopenable::NoPermission;
    case std::filesystem::file_type::directory:
        return Unopenable::Folder;
    default:
        return Unopenable::NotRegularFile;
    }
}
