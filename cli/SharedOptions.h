#pragma once

#include "OptionTable.h"

// The options that several commands take, declared once so that they are given and refused
// alike in each. "--", the end of the options, comes with every command that takes a FILE.
inline constexpr OptionDeclaration kHelpOption{.name = "--help", .shortName = "-h"};
inline constexpr OptionDeclaration kJsonOption{.name = "--json"};
// Where the record is: a SQLite file, or a postgresql:// address.
inline constexpr OptionDeclaration kRecordOption{.name = "--record", .valueName = "PATH"};
// New tries after a download failed on the line.
inline constexpr OptionDeclaration kRetriesOption{
    .name = "--retries", .valueName = "N", .check = WholeNumberFrom<0>};
