// libFuzzer target: one S-record line. The text overload and the reader overload (with the
// input as a one-line file) must agree, and neither may read or write out of bounds.
#include "SRecord.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    SRecordLine direct;
    const SRecordResult code = ParseSRecordLine(text, direct);
    if (code == SRecordResult::Ok && direct.RecType >= 1 && direct.RecType <= 3 &&
        direct.DataLength > kSRecordMaxData)
        __builtin_trap();

    // The same bytes as a file: the first line goes through the bounded reader.
    SRecordReader reader;
    reader.OpenMemory(data, size);
    reader.SetChunkSize(size % 7 + 1);
    SRecordLine viaReader;
    const SRecordResult readerCode = ParseSRecordLine(reader, viaReader);
    bool oneLine = size > 0 && size <= SRecordReader::kMaxLineLength;
    for (std::size_t i = 0; i < size && oneLine; ++i)
        oneLine = data[i] != '\r' && data[i] != '\n';
    if (oneLine && readerCode != code)
        __builtin_trap();
    return 0;
}
