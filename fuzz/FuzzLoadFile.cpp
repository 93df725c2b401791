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
    static const bool crcReady = (InitCrcTable(), true);
    (void)crcReady;
    NullHost host;
    const std::atomic<bool> cancel{false};

    SRecordReader reader;
    reader.OpenMemory(data, size);
    int32_t start1 = -7, end1 = -7;
    LoadProblem problem1;
    const int16_t result1 = LoadSRecordFile(reader, g_first, start1, end1, host, cancel, &problem1);

    SRecordReader small;
    small.OpenMemory(data, size);
    small.SetChunkSize(size % 5 + 1);
    int32_t start2 = -7, end2 = -7;
    LoadProblem problem2;
    const int16_t result2 = LoadSRecordFile(small, g_second, start2, end2, host, cancel, &problem2);

    if (result1 != result2 || start1 != start2 || end1 != end2 || problem1.kind != problem2.kind ||
        problem1.line != problem2.line ||
        std::memcmp(g_first.data(), g_second.data(), g_first.size()) != 0)
        __builtin_trap();
    if (result1 < 0 || result1 > 2)
        __builtin_trap();
    if (result1 == 0) {
        if (!(0 <= start1 && start1 < end1 && end1 <= kLastImageAddress))
            __builtin_trap();
        volatile uint16_t crc = CalculateCrc(g_first.data(), kApplicationStart, end1);
        (void)crc;
    }
    return 0;
}
