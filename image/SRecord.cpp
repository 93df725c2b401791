#include "SRecord.h"

#include "Files.h"

#include <algorithm>
#include <cstring>
#include <vector>

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
                        uint32_t& value)
{
    if (index + digits > text.size())
        return false;
    uint32_t v = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int digit = HexDigit(text[index + i]);
        if (digit < 0)
            return false;
        v = v * 16 + static_cast<uint32_t>(digit);
    }
    value = v;
    return true;
}

inline bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view WithoutTrailingBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

constexpr char kCtrlZ = '\x1A'; // the end-of-file mark some tools still append

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

SRecordResult ParseSRecordLine(std::string_view text, SRecordLine& line)
{
    text = WithoutTrailingBlanks(text);
    const std::size_t length = text.size();
    if (length == 0 || (text[0] != 'S' && text[0] != 's'))
        return SRecordResult::Failed;

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
        return SRecordResult::ChecksumError;

    // Data records: 2, 3 or 4 address bytes; the count also covers them and the checksum.
    if (line.RecType < 1 || line.RecType > 3)
        return SRecordResult::Ok;
    const int addressBytes = line.RecType + 1;
    const std::size_t addressDigits = 2 * static_cast<std::size_t>(addressBytes);
    const int dataLength = count - addressBytes - 1;
    static_assert(0xFF - 2 - 1 <= kSRecordMaxData, "a count of 255 must fit the buffer");

    line.DataLength = static_cast<int16_t>(dataLength);
    uint32_t address = 0;
    if (!StrictValue(text, 4, addressDigits, address))
        return SRecordResult::Failed;
    line.Address = address;
    const std::size_t dataAt = 4 + addressDigits;
    for (int k = 0; k < dataLength; ++k) {
        uint32_t byte = 0;
        if (!StrictValue(text, dataAt + 2 * static_cast<std::size_t>(k), 2, byte))
            return SRecordResult::Failed;
        line.Data[static_cast<std::size_t>(k)] = static_cast<uint8_t>(byte);
    }
    return SRecordResult::Ok;
}

SRecordResult ParseSRecordLine(SRecordReader& file, SRecordLine& line)
{
    std::string_view text;
    if (file.ReadLine(text) != SRecordReader::LineStatus::Ok)
        return SRecordResult::Failed;
    return ParseSRecordLine(text, line);
}

// ---------------------------------------------------------------------------------------------
// LoadSRecordFile

namespace {

// Places record data in the image and notes the first byte that changes a value an earlier
// record wrote: a bit per address tells whether any record wrote it, and the list of records
// placed tells which one, once, when an overlap is found.
class DataPlacer
{
public:
    void Place(FirmwareImage& image, int32_t address, const uint8_t* data, int32_t count,
               int32_t lineNumber, std::optional<SRecordOverlap>& overlap)
    {
        for (int32_t i = 0; i < count; ++i) {
            const auto at = static_cast<std::size_t>(address + i);
            if (!overlap && IsWritten(at) && image[at] != data[i])
                overlap = SRecordOverlap{LastWriter(address + i), lineNumber, address + i};
            image[at] = data[i];
            m_written[at / 64] |= uint64_t{1} << (at % 64);
        }
        m_records.push_back({lineNumber, address, count});
    }

private:
    struct Placed
    {
        int32_t line;
        int32_t address;
        int32_t count;
    };

    bool IsWritten(std::size_t at) const { return (m_written[at / 64] >> (at % 64)) & 1; }

    int32_t LastWriter(int32_t address) const
    {
        for (auto record = m_records.rbegin(); record != m_records.rend(); ++record)
            if (address >= record->address && address - record->address < record->count)
                return record->line;
        return 0;
    }

    std::array<uint64_t, kImageSize / 64> m_written{};
    std::vector<Placed> m_records;
};

} // namespace

SRecordLoad LoadSRecordFile(SRecordReader& file, FirmwareImage& image, Host& host,
                            const std::atomic<bool>& cancel)
{
    SRecordLoad load;
    const auto fail = [&](SRecordResult result, LoadProblem::Kind kind, int32_t lineNumber,
                          const char* reason) {
        load.result = result;
        load.problem = LoadProblem{kind, lineNumber, reason};
        return load;
    };

    if (!file.IsOpen())
        return fail(SRecordResult::Failed, LoadProblem::Kind::Unreadable, 0, "cannot be opened");

    int32_t lowest = kLastImageAddress;
    int32_t highest = 0;
    bool ended = false;
    bool cancelled = false;
    int32_t endMarkLine = 0; // the line that held the Ctrl-Z, once seen
    image.fill(0xFF);
    DataPlacer placer;

    SRecordLine line;
    std::array<char, SRecordReader::kMaxLineLength> lastLine{};
    for (;;) {
        if (cancel.load(std::memory_order_relaxed)) {
            cancelled = true;
            break;
        }
        if (file.AtEnd()) {
            if (file.Failed())
                return fail(SRecordResult::Failed, LoadProblem::Kind::Unreadable,
                            file.LineNumber() + 1, "read error");
            break;
        }
        if (ended)
            break;

        std::string_view text;
        switch (file.ReadLine(text)) {
        case SRecordReader::LineStatus::Ok:
            break;
        case SRecordReader::LineStatus::TooLong:
            return fail(SRecordResult::Failed, LoadProblem::Kind::Malformed, file.LineNumber(),
                        "the line is longer than 1024 characters");
        case SRecordReader::LineStatus::End:
        case SRecordReader::LineStatus::Error:
            return fail(SRecordResult::Failed, LoadProblem::Kind::Unreadable, file.LineNumber(),
                        "read error");
        }
        const int32_t lineNumber = file.LineNumber();
        text = WithoutTrailingBlanks(text);
        // A Ctrl-Z that ends the last line without a line end of its own. The text is copied
        // first: looking for the end may refill the buffer the view points into.
        if (text.size() > 1 && text.back() == kCtrlZ) {
            std::copy(text.begin(), text.end(), lastLine.begin());
            text = std::string_view(lastLine.data(), text.size());
            if (file.AtEnd())
                text = WithoutTrailingBlanks(text.substr(0, text.size() - 1));
        }

        if (text.empty()) {
            // A blank line.
        } else if (endMarkLine != 0) {
            return fail(SRecordResult::Failed, LoadProblem::Kind::Malformed, lineNumber,
                        "a line after the end-of-file mark (Ctrl-Z)");
        } else if (text.size() == 1 && text[0] == kCtrlZ) {
            endMarkLine = lineNumber;
        } else {
            const SRecordResult result = ParseSRecordLine(text, line);
            if (result == SRecordResult::ChecksumError)
                return fail(result, LoadProblem::Kind::Checksum, lineNumber,
                            "the checksum does not match");
            if (result != SRecordResult::Ok)
                return fail(result, LoadProblem::Kind::Malformed, lineNumber,
                            "not a valid S-record (it must begin with S, its address and data "
                            "must be hexadecimal)");

            if (line.RecType >= 1 && line.RecType <= 3) {
                const int64_t address = line.Address;
                const int64_t length = line.DataLength;
                if (length > 0) {
                    // Bytes up to the end of the image are placed; one beyond it fails the load.
                    const auto fits = static_cast<int32_t>(
                        std::clamp<int64_t>(int64_t{kImageSize} - address, 0, length));
                    if (fits > 0)
                        placer.Place(image, static_cast<int32_t>(address), line.Data.data(), fits,
                                     lineNumber, load.overlap);
                    if (fits < length)
                        return fail(SRecordResult::Failed, LoadProblem::Kind::Malformed, lineNumber,
                                    "data beyond the end of the flash (0x3FFFF)");
                }
                const int64_t last = address + length - 1;
                if (last > kLastImageAddress) // a record without data pointing past the image
                    return fail(SRecordResult::Failed, LoadProblem::Kind::Malformed, lineNumber,
                                "the record's range passes the end of the flash (0x3FFFF)");
                lowest = std::min(lowest, static_cast<int32_t>(address));
                highest = std::max(highest, static_cast<int32_t>(last));
            } else if (line.RecType == 9) {
                ended = true;
            }
        }

        host.ProcessEvents(0);
    }

    load.rangeRead = true;
    load.startAddr = lowest;
    load.endAddr = highest;
    load.result = highest > lowest ? SRecordResult::Ok : SRecordResult::Failed;
    if (cancelled) {
        load.problem = LoadProblem{LoadProblem::Kind::Cancelled, 0, "cancelled"};
    } else if (load.result != SRecordResult::Ok && file.LineNumber() == 0) {
        load.problem = LoadProblem{LoadProblem::Kind::Unreadable, 0, "the file is empty"};
    } else if (load.result != SRecordResult::Ok) {
        load.problem = LoadProblem{LoadProblem::Kind::NoData, 0,
                                   "no data to load: the S1, S2 and S3 records fill no range of "
                                   "two or more addresses"};
    }
    return load;
}

SRecordLoad LoadSRecordFile(const std::filesystem::path& fname, FirmwareImage& image, Host& host,
                            const std::atomic<bool>& cancel)
{
    SRecordReader reader;
    if (!reader.Open(fname)) {
        SRecordLoad load;
        load.problem =
            LoadProblem{LoadProblem::Kind::Unreadable, 0, UnopenableText(WhyUnopenable(fname))};
        return load;
    }
    return LoadSRecordFile(reader, image, host, cancel);
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
