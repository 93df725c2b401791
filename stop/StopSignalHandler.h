#pragma once

// The part of a stop signal's handler that every platform shares, safe in a signal handler:
// true for the first stop, which the handler passes on to the main thread; false for a
// SIGHUP after a SIGHUP. A second stop ends the program here, with 128 + its number.
bool NoteStopSignal(int signalNumber);

// Forgets the signals noted so far and the second stop's note: a new StopSignals starts with
// none.
void ForgetStopSignals();

// Writes text to standard error from a signal handler, per platform.
void WriteFromSignalHandler(const char* text);
