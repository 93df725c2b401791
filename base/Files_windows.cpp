#include "Files.h"

#include <system_error>

std::FILE* OpenForReading(const std::filesystem::path& fname)
{
    if (fname.empty())
        return nullptr;
    std::error_code error;
    if (!std::filesystem::is_regular_file(fname, error))
        return nullptr;
    return _wfopen(fname.c_str(), L"rb");
}
