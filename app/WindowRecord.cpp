#include "WindowRecord.h"

void WindowRecord::Begin()
{
    m_row = Recorder::Begin(m_port.PortName());
    m_stepsDone = 0;
    m_sentBefore = m_port.BytesSent();
    m_receivedBefore = m_port.BytesReceived();
}

void WindowRecord::End(const DownloadEngine& engine)
{
    TryResult result;
    result.run = *engine.LastResult();
    result.detail = result.run.Detail();
    result.link = engine.LastLinkQuality();
    Append(result);
}

void WindowRecord::EndWithProgram(const DownloadEngine& engine)
{
    TryResult result;
    result.run.outcome = Outcome::Cancelled;
    result.run.firmware = engine.RunFirmware();
    result.detail = QStringLiteral("The window was closed during the download.");
    result.link = engine.LastLinkQuality();
    Append(result);
}

void WindowRecord::Append(TryResult& result)
{
    result.port = m_row.port;
    result.stepsDone = m_stepsDone;
    result.bytes = {m_port.BytesSent() - m_sentBefore, m_port.BytesReceived() - m_receivedBefore};
    // The default record, wherever it is when the run ends.
    QString error;
    (void)Recorder(*ParseRecordTarget(QString(), error)).Append(m_row, result);
}
