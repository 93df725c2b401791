#include "WindowRecord.h"

#include "PortNaming.h"
#include "RecordStore.h"
#include "RunRecord.h"
#include "StationFacts.h"

void WindowRecord::Begin(const QString& fileName)
{
    m_fileName = fileName;
    m_row = BeginRecord(m_port.PortName(), ResolvePortName(m_port.PortName()), fileName, QString());
    m_sentBefore = m_port.BytesSent();
    m_receivedBefore = m_port.BytesReceived();
}

void WindowRecord::End(const DownloadEngine& engine)
{
    ImageFacts(engine);
    if (engine.LastResult())
        RecordRunEnd(m_row, *engine.LastResult());
    Append();
}

void WindowRecord::EndWithProgram(const DownloadEngine& engine)
{
    ImageFacts(engine);
    m_row.outcome = QStringLiteral("cancelled");
    m_row.exitCode = 2;
    m_row.detail = QStringLiteral("The window was closed during the download.");
    Append();
}

void WindowRecord::ImageFacts(const DownloadEngine& engine)
{
    if (engine.FileLoaded())
        RecordImage(m_row, engine.Crc(), engine.Plan());
    m_row.firmwareSha256 = FileSha256(m_fileName);
}

void WindowRecord::Append()
{
    m_row.bytesSent = m_port.BytesSent() - m_sentBefore;
    m_row.bytesReceived = m_port.BytesReceived() - m_receivedBefore;
    FinishRecord(m_row);
    QString error;
    (void)RecordStore(*ParseRecordTarget(QString(), error)).Append(m_row);
}
