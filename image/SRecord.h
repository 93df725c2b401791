#pragma once

#include "FirmwareImage.h"
#include "Host.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>

// Result codes of the loader, the same for one line and for a whole file.
constexpr int16_t kSRecordOk = 0;
constexpr int16_t kSRecordFailed = 1;
constexpr int16_t kSRecordChecksumError = 2;

constexpr int kSRecordMaxData = 64; // data bytes one SRecordLine holds

// One decoded line, reused by the loader for every line of a file. For record types other
// than 1 and 2 only RecType and Checksum are set; the other fields keep what an earlier line
// left.
struct SRecordLine
{
    int16_t RecType = 0;
    int32_t Address = 0;
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
    // What the last ReadLine gave.
    LineStatus LastStatus() const { return m_lastStatus; }
    // Reads at most this many bytes at a time (1 to the chunk size; tests and fuzzing use
    // tiny chunks to put line ends on every chunk boundary).
    void SetChunkSize(std::size_t bytes);

private:
    bool Refill();
    LineStatus ReadNextLine(std::string_view& text);
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
    LineStatus m_lastStatus = LineStatus::End;
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
        Unreadable, // cannot be opened or read: missing, a directory, no permission, empty
        Malformed,  // a line is not a valid S-record, or a data byte lies outside the image
        Checksum,   // a line's checksum does not match
        NoData,     // read to the end, but the range is empty or a single address
        Cancelled   // the cancel flag stopped the reading
    };
    Kind kind = Kind::None;
    int32_t line = 0;        // 1-based number of the line that failed; 0 when no line is to blame
    const char* reason = ""; // a few words on what is wrong, for a message; never null
};

// Decodes one line of text (without its line end) into `line`; returns 0, 1 or 2.
int16_t ParseSRecordLine(std::string_view text, SRecordLine& line);

// Reads exactly one line from the open file and decodes it; returns 0, 1 or 2. Reading past
// the end of the file, a read error and a line longer than the reader's limit give 1.
int16_t ParseSRecordLine(SRecordReader& file, SRecordLine& line);

// Loads an S-record file into the image: every byte is first set to 0xFF, then the S1 and S2
// data are written over it. startAddr and endAddr receive the lowest and highest address
// filled, unless a line failed. Returns 0 (loaded), 1 (failed) or 2 (checksum error).
// `cancel` is read before each line and the host yields once after each line.
int16_t LoadSRecordFile(const std::filesystem::path& fname, FirmwareImage& image,
                        int32_t& startAddr, int32_t& endAddr, Host& host,
                        const std::atomic<bool>& cancel, LoadProblem* problem = nullptr);

// The same, reading from an open reader (a memory block in the fuzz target and tests).
int16_t LoadSRecordFile(SRecordReader& file, FirmwareImage& image, int32_t& startAddr,
                        int32_t& endAddr, Host& host, const std::atomic<bool>& cancel,
                        LoadProblem* problem = nullptr);

// Words for a problem kind: "unreadable", "malformed", "checksum error", ...
const char* LoadProblemText(LoadProblem::Kind kind);
