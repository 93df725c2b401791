#pragma once

#include "CountingSerialPort.h"
#include "DownloadEngine.h"
#include "DownloadRecord.h"
#include "Recorder.h"

#include <QString>

// Records every download of the window in the default record, as the command line does. The
// window shows nothing of it: a record that cannot be written is left at that.
class WindowRecord
{
public:
    explicit WindowRecord(SerialPort& port) : m_port(port) {}

    // The port the engine downloads through, so that the bytes of each run are counted.
    SerialPort& Port() { return m_port; }

    // A run starts now.
    void Begin();
    // A step of programming is done (the progress bar's value).
    void StepDone(int steps) { m_stepsDone = steps; }
    // The run has ended as the engine tells.
    void End(const DownloadEngine& engine);
    // The program was ended at once during the run.
    void EndWithProgram(const DownloadEngine& engine);

private:
    void Append(TryResult& result);

    CountingSerialPort m_port;
    DownloadRecord m_row;
    int m_stepsDone = 0;
    int64_t m_sentBefore = 0;
    int64_t m_receivedBefore = 0;
};
