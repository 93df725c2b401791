#include "FlashTimeLeft.h"

#include "FlashBlockTable.h"

#include <algorithm>

namespace {

constexpr int32_t kStep = 128;
constexpr int64_t kLineBytesPerSecond = 19200 / 10; // start bit, 8 data bits, stop bit
// Bytes both ways of each command: packet and replies.
constexpr int64_t kErase = 6 + 4;
constexpr int64_t kProgram = 139 + 4;
constexpr int64_t kEraseProgram = 139 + 8;
constexpr int64_t kHeader = 17 + 4 + 2;

} // namespace

FlashTimeLeft::FlashTimeLeft(const FirmwareImage& image, int32_t startAddr, int32_t endAddr)
{
    bool erased[kFlashBlockCount + 1] = {};
    int64_t bytes = 0;
    for (int32_t address = startAddr - startAddr % kStep; address <= endAddr; address += kStep) {
        const auto step = image.begin() + address;
        if (std::any_of(step, step + kStep, [](uint8_t byte) { return byte != 0xFF; })) {
            const int16_t block = GetBlockNumber(address);
            bytes += address == 0 ? kEraseProgram : (erased[block] ? 0 : kErase) + kProgram;
            erased[block] = true;
        }
        m_bytesThroughStep.push_back(bytes);
    }
    m_totalBytes = bytes + (erased[1] ? kHeader : 0);
}

int64_t FlashTimeLeft::RemainingMs(int stepsDone, int64_t elapsedMs) const
{
    const int64_t done = stepsDone > 0 && !m_bytesThroughStep.empty()
                             ? m_bytesThroughStep[std::min<size_t>(static_cast<size_t>(stepsDone),
                                                                   m_bytesThroughStep.size()) -
                                                  1]
                             : 0;
    const int64_t left = m_totalBytes - done;
    if (done == 0 || elapsedMs <= 0)
        return left * 1000 / kLineBytesPerSecond;
    return elapsedMs * left / done;
}
