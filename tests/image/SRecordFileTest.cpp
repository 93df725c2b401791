// S-record loader on real files: names, folders, permissions, hostile files.
#include "Files.h"
#include "SRecord.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <future>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

using imagetest::Bytes;
using imagetest::Record;
using Kind = LoadProblem::Kind;

FirmwareImage g_image;

SRecordLoad LoadFile(const std::filesystem::path& file)
{
    VirtualHost host;
    const std::atomic<bool> cancel{false};
    return LoadSRecordFile(file, g_image, host, cancel);
}

const std::string kTwoLineFile = "S1053000AABB65\r\nS9030000FC\r\n";

TEST(SRecordFileTest, LoadsTheTwoLineExampleFromDisk)
{
    const TempDir dir;
    const auto outcome = LoadFile(dir.Write("fw.mot", kTwoLineFile));
    EXPECT_EQ(outcome.result, SRecordResult::Ok);
    EXPECT_EQ(outcome.startAddr, 0x3000);
    EXPECT_EQ(outcome.endAddr, 0x3001);
    EXPECT_EQ(g_image[0x3000], 0xAA);
}

TEST(SRecordFileTest, NamesWithSpacesAndNonAsciiCharacters)
{
    const TempDir dir;
    for (const char* name : {"with space/firm ware.mot", "Prüfung/Größe ÄÖÜ.mot",
                             "日本語/ファーム.mot", "emoji 🚀/x.MOT"}) {
        const auto file = dir.Write(std::filesystem::u8path(name), kTwoLineFile);
        const auto outcome = LoadFile(file);
        EXPECT_EQ(outcome.result, SRecordResult::Ok) << name;
        EXPECT_EQ(outcome.endAddr, 0x3001) << name;
    }
}

// The file cannot be opened: result 1, the reason says which way, and neither the image nor
// the outputs change.
TEST(SRecordFileTest, UnopenableFilesLeaveEverythingUntouched)
{
    const TempDir dir;
    std::filesystem::create_directories(dir.path() / "folder.mot");
    const struct
    {
        std::filesystem::path name;
        std::string reason;
    } cases[] = {
        {"", "cannot be opened for reading (missing)"},
        {dir.path() / "missing.mot", "cannot be opened for reading (missing)"},
        {dir.path() / "folder.mot", "cannot be opened for reading (a folder)"},
        {dir.path(), "cannot be opened for reading (a folder)"},
        {dir.path() / "missing-folder" / "x.mot", "cannot be opened for reading (missing)"},
    };
    for (const auto& [name, reason] : cases) {
        g_image.fill(0x5A);
        const auto outcome = LoadFile(name);
        EXPECT_EQ(outcome.result, SRecordResult::Failed) << name;
        EXPECT_FALSE(outcome.rangeRead) << name;
        EXPECT_EQ(outcome.problem.kind, Kind::Unreadable) << name;
        EXPECT_EQ(outcome.problem.line, 0) << name;
        EXPECT_EQ(outcome.problem.reason, reason) << name;
        EXPECT_EQ(g_image[0], 0x5A) << name;
        EXPECT_EQ(g_image[kLastImageAddress], 0x5A) << name;
    }
}

TEST(SRecordFileTest, EmptyFileIsUnreadable)
{
    const TempDir dir;
    const auto outcome = LoadFile(dir.Write("empty.mot", ""));
    EXPECT_EQ(outcome.result, SRecordResult::Failed);
    EXPECT_EQ(outcome.problem.kind, Kind::Unreadable);
}

// A FIFO would block an ordinary open until a writer comes, a device node may never end:
// anything but a regular file is refused at once, before it is opened.
TEST(SRecordFileTest, NamesThatAreNotRegularFilesAreRefusedAtOnce)
{
#ifndef _WIN32
    const TempDir dir;
    const auto fifo = dir.path() / "pipe.mot";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto socketName = dir.path() / "socket.mot";
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketName.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    const auto link = dir.path() / "link.mot";
    std::filesystem::create_symlink(fifo, link);

    for (const std::filesystem::path& name :
         {fifo, link, socketName, std::filesystem::path("/dev/null"),
          std::filesystem::path("/dev/zero")}) {
        SCOPED_TRACE(name.string());
        auto refused = std::async(std::launch::async, [&name] {
            FirmwareImage image;
            VirtualHost host;
            const std::atomic<bool> cancel{false};
            const SRecordLoad load = LoadSRecordFile(name, image, host, cancel);
            return !FileExists(name) && load.problem.kind == Kind::Unreadable &&
                   std::string(load.problem.reason) ==
                       "cannot be opened for reading (not a regular file)";
        });
        if (refused.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
            ADD_FAILURE() << "the open blocked";
            // Give each blocked open a writer, so that the test can end.
            while (refused.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
                close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
            continue;
        }
        EXPECT_TRUE(refused.get());
    }
    close(listener);
#else
    GTEST_SKIP();
#endif
}

TEST(SRecordFileTest, NoReadPermission)
{
#ifndef _WIN32
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const TempDir dir;
    const auto file = dir.Write("locked.mot", kTwoLineFile);
    std::filesystem::permissions(file, std::filesystem::perms::none);
    const auto outcome = LoadFile(file);
    EXPECT_EQ(outcome.result, SRecordResult::Failed);
    EXPECT_EQ(outcome.problem.kind, Kind::Unreadable);
    EXPECT_STREQ(outcome.problem.reason, "cannot be opened for reading (no permission)");
#else
    GTEST_SKIP();
#endif
}

// A huge file is refused at its first over-long line, without being read whole.
TEST(SRecordFileTest, HugeBinaryFileIsRefusedQuickly)
{
    const TempDir dir;
    const auto file = dir.path() / "huge.bin";
    {
        std::ofstream(file, std::ios::binary) << "S";
    }
    std::filesystem::resize_file(file, 512ull * 1024 * 1024); // sparse: 512 MB of NUL bytes
    const auto begin = std::chrono::steady_clock::now();
    const auto outcome = LoadFile(file);
    const auto took = std::chrono::steady_clock::now() - begin;
    EXPECT_EQ(outcome.result, SRecordResult::Failed);
    EXPECT_EQ(outcome.problem.kind, Kind::Malformed);
    EXPECT_EQ(outcome.problem.line, 1);
    EXPECT_LT(took, std::chrono::seconds(2));
}

TEST(SRecordFileTest, HugeFileAfterS9IsNeverRead)
{
    const TempDir dir;
    const auto file = dir.Write("tail.mot", kTwoLineFile);
    std::filesystem::resize_file(file, 512ull * 1024 * 1024);
    const auto begin = std::chrono::steady_clock::now();
    const auto outcome = LoadFile(file);
    EXPECT_EQ(outcome.result, SRecordResult::Ok);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
}

// Lines cross the reader's chunk boundaries at every possible offset: a file on disk loads
// like the same text from memory read a byte at a time.
TEST(SRecordFileTest, LargeFileLoadsLikeItsTextInMemory)
{
    std::string text = "S00600004844521B\r\n";
    for (uint32_t a = 0x3000; a < 0x3F000; a += 29) // odd record size: boundaries drift
        text +=
            Record(2, a, Bytes(29, static_cast<uint8_t>(a), 7)) + ((a / 29) % 3 ? "\r\n" : "\n");
    text += "S804000000FB\r\n";
    const TempDir dir;
    const auto outcome = LoadFile(dir.Write("big.mot", text));
    ASSERT_EQ(outcome.result, SRecordResult::Ok);
    static FirmwareImage fromMemory;
    const auto memory = imagetest::LoadText(text, fromMemory, 1);
    EXPECT_EQ(memory.result, SRecordResult::Ok);
    EXPECT_EQ(outcome.startAddr, memory.startAddr);
    EXPECT_EQ(outcome.endAddr, memory.endAddr);
    EXPECT_TRUE(g_image == fromMemory);
}

TEST(SRecordFileTest, FailingLineNumberFromDisk)
{
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += Record(1, static_cast<uint32_t>(0x3000 + 16 * i), Bytes(16)) + "\n";
    text += "S1053000AABB66\n";
    const TempDir dir;
    const auto outcome = LoadFile(dir.Write("bad.mot", text));
    EXPECT_EQ(outcome.result, SRecordResult::ChecksumError);
    EXPECT_EQ(outcome.problem.kind, Kind::Checksum);
    EXPECT_EQ(outcome.problem.line, 2001);
}

} // namespace
