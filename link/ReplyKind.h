#pragma once

// The kinds of command whose replies the line's figures tell apart.
enum class ReplyKind
{
    Poll,         // a poll while the bootloader starts
    Erase,        // erase a block
    Program,      // program a packet
    EraseProgram, // erase a block and program its first packet
    Header,       // program the application header
    Verify,       // the device's report on the image it checked
};
inline constexpr int kReplyKinds = 6;
