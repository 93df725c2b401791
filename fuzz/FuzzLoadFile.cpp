// libFuzzer target: a whole S-record file through LoadSRecordFile. The file is read twice,
// with the reader's normal chunk and with tiny chunks that put every line end on a chunk
// boundary; both must give the same result, range and image. The loaded range must lie in
// the image and the image CRC over it must be computable.
#include "Crc16.h"
#include "SRecord.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

class NullHost : public Host
{
public:
    int32_t TickCount() override { return 0; }
    void ProcessEvents(int32_t) override {}
};

FirmwareImage g_first;
FirmwareImage g_second;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    NullHost host;
    const std::atomic<bool> cancel{false};

    SRecordReader reader;
    reader.OpenMemory(data, size);
    const SRecordLoad first = LoadSRecordFile(reader, g_first, host, cancel);

    SRecordReader small;
    small.OpenMemory(data, size);
    small.SetChunkSize(size % 5 + 1);
    const SRecordLoad second = LoadSRecordFile(small, g_second, host, cancel);

    if (first.result != second.result || first.rangeRead != second.rangeRead ||
        first.startAddr != second.startAddr || first.endAddr != second.endAddr ||
        first.problem.kind != second.problem.kind || first.problem.line != second.problem.line ||
        first.overlap.has_value() != second.overlap.has_value() ||
        std::memcmp(g_first.data(), g_second.data(), g_first.size()) != 0)
        __builtin_trap();
    const int32_t start1 = first.startAddr;
    const int32_t end1 = first.endAddr;
    if (first.overlap &&
        !(first.overlap->earlierLine < first.overlap->laterLine && 0 <= first.overlap->address &&
          first.overlap->address <= kLastImageAddress))
        __builtin_trap();
    if (first.result == SRecordResult::Ok) {
        if (!(0 <= start1 && start1 < end1 && end1 <= kLastImageAddress))
            __builtin_trap();
        volatile uint16_t crc = CalculateCrc(g_first.data(), kApplicationStart, end1);
        (void)crc;
    }
    return 0;
}
