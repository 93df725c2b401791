#pragma once
// A temporary folder for tests that need real files.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

// A fresh folder below the system's temporary folder, removed with the object.
class TempDir
{
public:
    TempDir()
    {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() /
                ("norvane-test-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path Write(const std::filesystem::path& name, const std::string& content) const
    {
        const auto file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        out << content;
        return file;
    }

private:
    std::filesystem::path path_;
};
