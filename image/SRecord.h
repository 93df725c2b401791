#pragma once

#include "FirmwareImage.h"
#include "Host.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>

// How one line or a whole file ended; the numbers are the loader's result codes (0 loaded,
// 1 failed, 2 checksum error), the ones the command line prints.
enum class SRecordResult : int16_t
{
    Ok = 0,
    Failed = 1,
    ChecksumError = 2
};

constexpr int16_t ResultCode(SRecordResult result)
{
    return static_cast<int16_t>(result);
}

// The count field is two hexadecimal digits, so a record holds at most 255 - 3 data bytes (an
// S1 record: count minus two address bytes and the checksum).
constexpr int kSRecordMaxData = 255 - 3;

// One decoded line, reused by the loader for every line of a file. For record types other
// than the data records S1, S2 and S3 only RecType and Checksum are set; the other fields
// keep what an earlier line left.
struct SRecordLine
{
    int16_t RecType = 0;
    uint32_t Address = 0;
    int16_t DataLength = 0;
    std::array<uint8_t, kSRecordMaxData> Data{};
    int16_t Checksum = 0;
};

// The text source of the loader: reads one line at a time into a bounded buffer, from a file
// or from memory. A line ends at CR LF, at a lone CR or at a lone LF. A line longer than
// kMaxLineLength characters is refused without being read further, so a huge or binary file
// never costs more memory than the reader's fixed buffers.
class SRecordReader
{
public:
    static constexpr std::size_t kMaxLineLength = 1024;

    enum class LineStatus
    {
        Ok,      // a line was read (possibly empty)
        End,     // nothing left to read
        TooLong, // the line is longer than kMaxLineLength; reading stops here
        Error    // the platform could not read the file
    };

    SRecordReader() = default;
    ~SRecordReader();
    SRecordReader(const SRecordReader&) = delete;
    SRecordReader& operator=(const SRecordReader&) = delete;

    // Opens a file for reading; false if it cannot be opened or is a directory.
    bool Open(const std::filesystem::path& fname);
    // Reads from a memory block that must outlive the reader (tests and fuzzing).
    void OpenMemory(const void* data, std::size_t size);
    void Close();
    bool IsOpen() const { return m_file != nullptr || m_memory; }

    // True when no further character can be read (a read error counts as the end).
    bool AtEnd();
    // Reads the next line without its line end. The view stays valid until the next call.
    LineStatus ReadLine(std::string_view& text);
    // 1-based number of the last line returned by ReadLine (0 before the first).
    int32_t LineNumber() const { return m_lineNumber; }
    // True after the platform reported a read error.
    bool Failed() const { return m_error; }
    // Reads at most this many bytes at a time (1 to the chunk size; tests and fuzzing use
    // tiny chunks to put line ends on every chunk boundary).
    void SetChunkSize(std::size_t bytes);

private:
    bool Refill();
    bool HaveData(); // a character is waiting (a pending LF after a CR is skipped first)

    std::FILE* m_file = nullptr;
    bool m_memory = false;
    const char* m_memoryData = nullptr; // the memory block and how much of it is taken
    std::size_t m_memorySize = 0;
    std::size_t m_memoryPos = 0;
    std::size_t m_chunkSize = kChunkSize;
    bool m_eof = false;
    bool m_error = false;
    bool m_skipLf = false; // the last line ended at a CR: an LF right after it belongs to it
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    int32_t m_lineNumber = 0;
    static constexpr std::size_t kChunkSize = 16384;
    std::array<char, kChunkSize> m_chunk{};
    std::array<char, kMaxLineLength> m_line{};
};

// Why a load failed, for callers that want to tell the user (the command line does; the
// window shows its fixed message and ignores it).
struct LoadProblem
{
    enum class Kind
    {
        None,       // loaded
        Unreadable, // cannot be opened or read: missing, a directory, not a regular file, empty
        Malformed,  // a line is not a valid S-record, or a data byte lies outside the image
        Checksum,   // a line's checksum does not match
        NoData,     // read to the end, but the range is empty or a single address
        Cancelled   // the cancel flag stopped the reading
    };
    Kind kind = Kind::None;
    int32_t line = 0;        // 1-based number of the line that failed; 0 when no line is to blame
    const char* reason = ""; // a few words on what is wrong, for a message; never null
};

// The first place where a record overwrote bytes of an earlier record with other values. The
// later record wins; the caller may warn about it.
struct SRecordOverlap
{
    int32_t earlierLine = 0;
    int32_t laterLine = 0;
    int32_t address = 0; // the lowest such address of the later record
};

// What a load gave.
struct [[nodiscard]] SRecordLoad
{
    SRecordResult result = SRecordResult::Failed;
    // True when the reading ended without a failed line (at the end, at S9 or on a cancel);
    // only then do startAddr and endAddr hold the lowest and highest address filled.
    bool rangeRead = false;
    int32_t startAddr = kLastImageAddress;
    int32_t endAddr = 0;
    LoadProblem problem;
    std::optional<SRecordOverlap> overlap;
};

// Decodes one line of text (without its line end) into `line`. Blanks at the end of the line
// are ignored.
[[nodiscard]] SRecordResult ParseSRecordLine(std::string_view text, SRecordLine& line);

// Reads exactly one line from the open file and decodes it. Reading past the end of the file,
// a read error and a line longer than the reader's limit fail.
[[nodiscard]] SRecordResult ParseSRecordLine(SRecordReader& file, SRecordLine& line);

// Loads an S-record file into the image: every byte is first set to 0xFF, then the data of
// the S1, S2 and S3 records are written over it. Blank lines, blanks at the end of a line and
// one Ctrl-Z (0x1A) after the last record are ignored; S9 ends the file. `cancel` is read
// before each line and the host yields once after each line.
SRecordLoad LoadSRecordFile(const std::filesystem::path& fname, FirmwareImage& image, Host& host,
                            const std::atomic<bool>& cancel);

// The same, reading from an open reader (a memory block in the fuzz target and tests).
SRecordLoad LoadSRecordFile(SRecordReader& file, FirmwareImage& image, Host& host,
                            const std::atomic<bool>& cancel);

// Words for a problem kind: "unreadable", "malformed", "checksum error", ...
const char* LoadProblemText(LoadProblem::Kind kind);
