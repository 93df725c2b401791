// GetDirectory and FileExists on real files.
#include "Files.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

TEST(GetDirectoryTest, Table)
{
    struct Row
    {
        std::string path;
        std::string directory;
    };
    const Row rows[] = {
        {"C:\\Firmware\\app.mot", "C:\\Firmware"},
        {"C:\\app.mot", "C:"},
        {"", ""},
        {std::string("\0abc\\x", 6), ""},
        {"app.mot", ""}, // no separator
        {"\\app.mot", ""},
        {"C:\\a\\b\\", "C:\\a\\b"},
#ifndef _WIN32
        {"/home/user/fw/app.mot", "/home/user/fw"},
        {"/app.mot", ""},
        {"dir/sub\\x.mot", "dir/sub"}, // the last separator of either kind
        {"dir\\sub/x.mot", "dir\\sub"},
        {"/home/Jürgen/Prüfung 1/fw.mot", "/home/Jürgen/Prüfung 1"},
#endif
    };
    for (const Row& row : rows)
        EXPECT_EQ(GetDirectory(row.path), row.directory) << row.path;
}

TEST(FileExistsTest, Table)
{
    const TempDir dir;
    const auto file = dir.Write("fw.mot", "S9030000FC\n");
    const auto empty = dir.Write("empty.mot", "");
    const auto spaced = dir.Write("a folder/with spaces ü.mot", "x");
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(empty));
    EXPECT_TRUE(FileExists(spaced));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(dir.path() / "missing.mot"));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(dir.path() / "a folder"));
}

TEST(FileExistsTest, NoReadPermission)
{
#ifndef _WIN32
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const TempDir dir;
    const auto file = dir.Write("locked.mot", "S9030000FC\n");
    std::filesystem::permissions(file, std::filesystem::perms::none);
    EXPECT_FALSE(FileExists(file));
#else
    GTEST_SKIP();
#endif
}

} // namespace
