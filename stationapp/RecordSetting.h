#pragma once

#include "RecordTarget.h"

#include <QString>

#include <optional>

// The record the set-up names, checked as norvane-flash station checks its --record before
// anything is written: empty for the default file, a file path, or a postgresql:// address.
// An address that holds a password is refused: the set-up is kept in the settings file, where
// a password does not belong; PostgreSQL's clients find it in PGPASSWORD, ~/.pgpass or
// PGSERVICE. Nothing, with the reason in error, when the text names no usable record.
std::optional<RecordTarget> RecordFromSetting(const QString& setting, QString& error);
