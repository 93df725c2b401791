// libFuzzer target: the virtual device's packet parser on arbitrary line bytes.
#include "PacketParserCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckPacketParser(data, size);
    return 0;
}
