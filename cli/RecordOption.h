#pragma once

#include "RecordTarget.h"

#include <QString>

#include <optional>

// How a command uses the record: history only reads it; flash and station write it (and the
// local file of rows waiting for a server).
enum class RecordUse
{
    Read,
    Write
};

// The record that --record names, checked before anything is read or written. Nothing when it
// names none the command may use, with the words of a usage error in error. An address that
// holds a password still works, with a warning on standard error that every user of the
// computer sees it in the process list.
std::optional<RecordTarget> RecordFromOption(const QString& spec, RecordUse use, QString& error);
