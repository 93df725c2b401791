#include "Hex.h"

std::string FormatHexBits(uint32_t bits, int16_t width)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char buffer[8];
    int n = 0;
    do {
        buffer[n++] = kDigits[bits & 0xF];
        bits >>= 4;
    } while (bits != 0);
    std::string text;
    if (width > n)
        text.assign(static_cast<std::size_t>(width - n), '0');
    while (n > 0)
        text.push_back(buffer[--n]);
    return text;
}
