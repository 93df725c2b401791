#include "SRecord.h"

#include "Misc.h"

#include <algorithm>
#include <cstring>

namespace {

// Value of each character as a hexadecimal digit, -1 for any other character.
constexpr std::array<int8_t, 256> MakeHexTable()
{
    std::array<int8_t, 256> table{};
    for (auto& entry : table)
        entry = -1;
    for (int c = '0'; c <= '9'; ++c)
        table[c] = static_cast<int8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        table[c] = static_cast<int8_t>(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c)
        table[c] = static_cast<int8_t>(c - 'a' + 10);
    return table;
}
constexpr std::array<int8_t, 256> kHexValue = MakeHexTable();

inline int HexDigit(char c)
{
    return kHexValue[static_cast<unsigned char>(c)];
}

// The lenient reading of the count, the checksum and the summed pairs: the value of the
// hexadecimal digits at the start of the text, blanks ignored, 0 if there are none.
inline int LenientValue(const char* text, std::size_t length)
{
    int value = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t')
            continue;
        const int digit = HexDigit(c);
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

// The strict reading of an address or a data byte: `digits` characters from `index`, all of
// them hexadecimal. A field that the end of the line cuts off is not valid.
inline bool StrictValue(std::string_view text, std::size_t index, std::size_t digits,
                        int32_t& value)
{
    if (index + digits > text.size())
        return false;
    int32_t v = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int digit = HexDigit(text[index + i]);
        if (digit < 0)
            return false;
        v = v * 16 + digit;
    }
    value = v;
    return true;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// SRecordReader

SRecordReader::~SRecordReader()
{
    Close();
}

bool SRecordReader::Open(const std::filesystem::path& fname)
{
    Close();
    std::FILE* file = OpenForReading(fname);
    if (!file)
        return false;
    // The reader buffers whole chunks itself.
    std::setvbuf(file, nullptr, _IONBF, 0);
    m_file = file;
    return true;
}

void SRecordReader::OpenMemory(const void* data, std::size_t size)
{
    Close();
    m_memory = true;
    m_memoryData = static_cast<const char*>(data);
    m_memorySize = data ? size : 0;
}

void SRecordReader::SetChunkSize(std::size_t bytes)
{
    m_chunkSize = std::clamp<std::size_t>(bytes, 1, kChunkSize);
}

void SRecordReader::Close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
    m_memory = false;
    m_memoryData = nullptr;
    m_memorySize = 0;
    m_memoryPos = 0;
    m_eof = false;
    m_error = false;
    m_skipLf = false;
    m_pos = 0;
    m_len = 0;
    m_lineNumber = 0;
    m_lastStatus = LineStatus::End;
}

bool SRecordReader::Refill()
{
    if (m_eof)
        return false;
    std::size_t n = 0;
    if (m_file) {
        n = std::fread(m_chunk.data(), 1, m_chunkSize, m_file);
        if (n == 0 && std::ferror(m_file))
            m_error = true;
    } else if (m_memory) {
        n = std::min(m_chunkSize, m_memorySize - m_memoryPos);
        if (n > 0)
            std::memcpy(m_chunk.data(), m_memoryData + m_memoryPos, n);
        m_memoryPos += n;
    }
    if (n == 0) {
        m_eof = true;
        return false;
    }
    m_pos = 0;
    m_len = n;
    return true;
}

bool SRecordReader::HaveData()
{
    for (;;) {
        if (m_pos < m_len) {
            if (m_skipLf) {
                m_skipLf = false;
                if (m_chunk[m_pos] == '\n') {
                    ++m_pos;
                    continue;
                }
            }
            return true;
        }
        if (!Refill())
            return false;
    }
}

bool SRecordReader::AtEnd()
{
    return !HaveData();
}

SRecordReader::LineStatus SRecordReader::ReadLine(std::string_view& text)
{
    m_lastStatus = ReadNextLine(text);
    return m_lastStatus;
}

SRecordReader::LineStatus SRecordReader::ReadNextLine(std::string_view& text)
{
    if (!HaveData())
        return m_error ? LineStatus::Error : LineStatus::End;
    ++m_lineNumber;
    std::size_t used = 0; // characters of this line already copied into m_line
    for (;;) {
        const char* start = m_chunk.data() + m_pos;
        const std::size_t limit = kMaxLineLength - used;
        const std::size_t scan = std::min(m_len - m_pos, limit + 1);
        const char* p = start;
        const char* const scanEnd = start + scan;
        while (p < scanEnd && *p != '\r' && *p != '\n')
            ++p;
        const auto n = static_cast<std::size_t>(p - start);
        if (n > limit)
            return LineStatus::TooLong;
        if (p < scanEnd) {
            // A line end inside the chunk.
            if (used == 0) {
                text = std::string_view(start, n);
            } else {
                std::memcpy(m_line.data() + used, start, n);
                text = std::string_view(m_line.data(), used + n);
            }
            m_pos += n + 1;
            m_skipLf = (*p == '\r'); // CR LF is one line end
            return LineStatus::Ok;
        }
        // The chunk ends inside the line: keep what we have and read on.
        std::memcpy(m_line.data() + used, start, n);
        used += n;
        m_pos = m_len;
        if (!Refill()) {
            if (m_error)
                return LineStatus::Error;
            text = std::string_view(m_line.data(), used); // last line without a line end
            return LineStatus::Ok;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// ParseSRecordLine

int16_t ParseSRecordLine(std::string_view text, SRecordLine& line)
{
    const std::size_t length = text.size();
    if (length == 0 || (text[0] != 'S' && text[0] != 's'))
        return kSRecordFailed;

    const char type = length >= 2 ? text[1] : '\0';
    line.RecType = static_cast<int16_t>(type >= '0' && type <= '9' ? type - '0' : 0);

    // The last two characters (the whole line when it is shorter).
    const std::size_t checksumAt = length >= 2 ? length - 2 : 0;
    line.Checksum =
        static_cast<int16_t>(LenientValue(text.data() + checksumAt, length - checksumAt));

    const int count =
        length > 2 ? LenientValue(text.data() + 2, std::min<std::size_t>(2, length - 2)) : 0;

    // Pairs beginning at columns 3, 5, 7, ... up to column L - 2 (0-based 2, 4, ... L - 3).
    unsigned sum = 0;
    for (std::size_t i = 2; i + 3 <= length; i += 2)
        sum += static_cast<unsigned>(LenientValue(text.data() + i, 2));
    if (255 - static_cast<int>(sum % 256) != line.Checksum)
        return kSRecordChecksumError;

    std::size_t addressDigits = 0;
    int16_t dataLength = 0;
    if (line.RecType == 1) {
        addressDigits = 4;
        dataLength = static_cast<int16_t>(count - 3);
    } else if (line.RecType == 2) {
        addressDigits = 6;
        dataLength = static_cast<int16_t>(count - 4);
    } else {
        return kSRecordOk;
    }

    line.DataLength = dataLength;
    int32_t address = 0;
    if (!StrictValue(text, 4, addressDigits, address))
        return kSRecordFailed;
    line.Address = address;
    if (dataLength > kSRecordMaxData)
        return kSRecordFailed;
    const std::size_t dataAt = 4 + addressDigits;
    for (int k = 0; k < dataLength; ++k) {
        int32_t byte = 0;
        if (!StrictValue(text, dataAt + 2 * static_cast<std::size_t>(k), 2, byte))
            return kSRecordFailed;
        line.Data[static_cast<std::size_t>(k)] = static_cast<uint8_t>(byte);
    }
    return kSRecordOk;
}

int16_t ParseSRecordLine(SRecordReader& file, SRecordLine& line)
{
    std::string_view text;
    if (file.ReadLine(text) != SRecordReader::LineStatus::Ok)
        return kSRecordFailed;
    return ParseSRecordLine(text, line);
}

// ---------------------------------------------------------------------------------------------
// LoadSRecordFile

int16_t LoadSRecordFile(SRecordReader& file, FirmwareImage& image, int32_t& startAddr,
                        int32_t& endAddr, Host& host, const std::atomic<bool>& cancel,
                        LoadProblem* problem)
{
    LoadProblem unused;
    LoadProblem& report = problem ? *problem : unused;
    report = LoadProblem{};

    const auto fail = [&](int16_t code, LoadProblem::Kind kind, int32_t lineNumber,
                          const char* reason) {
        report.kind = kind;
        report.line = lineNumber;
        report.reason = reason;
        return code;
    };

    if (!file.IsOpen())
        return fail(kSRecordFailed, LoadProblem::Kind::Unreadable, 0, "cannot be opened");

    int32_t lowest = kLastImageAddress;
    int32_t highest = 0;
    bool ended = false;
    bool cancelled = false;
    image.fill(0xFF);

    SRecordLine line;
    for (;;) {
        if (cancel.load(std::memory_order_relaxed)) {
            cancelled = true;
            break;
        }
        if (file.AtEnd()) {
            if (file.Failed())
                return fail(kSRecordFailed, LoadProblem::Kind::Unreadable, file.LineNumber() + 1,
                            "read error");
            break;
        }
        if (ended)
            break;

        const int16_t code = ParseSRecordLine(file, line);
        if (code != kSRecordOk) {
            switch (file.LastStatus()) {
            case SRecordReader::LineStatus::Error:
                return fail(code, LoadProblem::Kind::Unreadable, file.LineNumber(), "read error");
            case SRecordReader::LineStatus::TooLong:
                return fail(code, LoadProblem::Kind::Malformed, file.LineNumber(),
                            "the line is longer than 1024 characters");
            default:
                break;
            }
            if (code == kSRecordChecksumError)
                return fail(code, LoadProblem::Kind::Checksum, file.LineNumber(),
                            "the checksum does not match");
            return fail(code, LoadProblem::Kind::Malformed, file.LineNumber(),
                        "not a valid S-record (it must begin with S, its address and data must "
                        "be hexadecimal, at most 64 data bytes)");
        }

        if (line.RecType == 1 || line.RecType == 2) {
            const int32_t address = line.Address;
            const int32_t length = line.DataLength;
            if (length > 0) {
                // Bytes up to the end of the image are placed; one beyond it fails the load.
                const int32_t fits = std::clamp(kImageSize - address, 0, length);
                std::memcpy(image.data() + address, line.Data.data(),
                            static_cast<std::size_t>(fits));
                if (fits < length)
                    return fail(kSRecordFailed, LoadProblem::Kind::Malformed, file.LineNumber(),
                                "data beyond the end of the flash (0x3FFFF)");
            }
            if (address < lowest)
                lowest = address;
            const int32_t last = address + length - 1;
            if (last > kLastImageAddress) // an S2 record without data pointing past the image
                return fail(kSRecordFailed, LoadProblem::Kind::Malformed, file.LineNumber(),
                            "the record's range passes the end of the flash (0x3FFFF)");
            if (last > highest)
                highest = last;
        } else if (line.RecType == 9) {
            ended = true;
        }

        host.ProcessEvents(0);
    }

    startAddr = lowest;
    endAddr = highest;
    const int16_t result = highest > lowest ? kSRecordOk : kSRecordFailed;
    if (cancelled) {
        report.kind = LoadProblem::Kind::Cancelled;
        report.reason = "cancelled";
    } else if (result != kSRecordOk && file.LineNumber() == 0) {
        report.kind = LoadProblem::Kind::Unreadable;
        report.reason = "the file is empty";
    } else if (result != kSRecordOk) {
        report.kind = LoadProblem::Kind::NoData;
        report.reason = "no data to load: the S1 and S2 records fill no range of two or more "
                        "addresses";
    }
    return result;
}

int16_t LoadSRecordFile(const std::filesystem::path& fname, FirmwareImage& image,
                        int32_t& startAddr, int32_t& endAddr, Host& host,
                        const std::atomic<bool>& cancel, LoadProblem* problem)
{
    SRecordReader reader;
    if (!reader.Open(fname)) {
        if (problem)
            *problem = LoadProblem{LoadProblem::Kind::Unreadable, 0,
                                   "cannot be opened for reading (missing, no permission, or a "
                                   "folder)"};
        return kSRecordFailed;
    }
    return LoadSRecordFile(reader, image, startAddr, endAddr, host, cancel, problem);
}

const char* LoadProblemText(LoadProblem::Kind kind)
{
    switch (kind) {
    case LoadProblem::Kind::None:
        return "loaded";
    case LoadProblem::Kind::Unreadable:
        return "unreadable";
    case LoadProblem::Kind::Malformed:
        return "malformed";
    case LoadProblem::Kind::Checksum:
        return "checksum error";
    case LoadProblem::Kind::NoData:
        return "no data";
    case LoadProblem::Kind::Cancelled:
        return "cancelled";
    }
    return "unknown";
}
