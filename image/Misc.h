#pragma once

#include "Host.h"

#include <concepts>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <type_traits>

// Waits the given number of milliseconds while the host keeps dispatching events; yields at
// least once, also for 0. Ends after its time also when the 32-bit tick count wraps meanwhile.
void Delay(Host& host, int32_t ms);

// Upper-case hexadecimal digits of a bit pattern, without leading zeros ("0" for zero),
// padded on the left with "0" to `width` characters; a longer text is not cut.
std::string FormatHexBits(uint32_t bits, int16_t width);

// Hexadecimal text of a value taken as the bit pattern of its own width: the 16-bit value -1
// gives "FFFF", the 32-bit value -1 "FFFFFFFF".
template <std::integral T>
requires(sizeof(T) <= sizeof(uint32_t)) std::string FormatHex(T value, int16_t width)
{
    using Bits = std::make_unsigned_t<T>;
    return FormatHexBits(static_cast<uint32_t>(static_cast<Bits>(value)), width);
}

// The folder part of a path: the text before its last separator (a backslash, and on
// systems other than Windows also a slash). Empty text for an empty path, for a path that
// begins with the character of code 0, and for a path without a separator.
std::string GetDirectory(const std::string& path);

// Opens a regular file for reading in binary mode; nullptr for an empty name, a missing file,
// no access, a folder, and anything else that is not a regular file (a FIFO, a device node, a
// socket). It never blocks: a FIFO without a writer is refused at once.
std::FILE* OpenForReading(const std::filesystem::path& fname);

// True if the file can be opened for reading by OpenForReading (and is closed again at once).
bool FileExists(const std::filesystem::path& fname);
