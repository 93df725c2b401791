#pragma once

#include <cstddef>
#include <cstdint>

// Feeds data to the device's packet parser and checks what it makes of it: every packet it
// passes is sound (start byte, length, CRC, a known command of that length), every poll is the
// poll string, and every input byte ends up in exactly one frame or among the skipped bytes.
// Aborts on a broken rule, so that the fuzzer reports it.
void CheckPacketParser(const uint8_t* data, size_t size);
