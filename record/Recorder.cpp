#include "Recorder.h"

#include "DownloadTexts.h"
#include "PortNaming.h"
#include "ProgramVersion.h"
#include "StationFacts.h"

#include <QCoreApplication>
#include <QFileInfo>

DownloadRecord Recorder::Begin(const QString& port)
{
    DownloadRecord row;
    row.id = NewRecordId();
    row.started = QDateTime::currentDateTimeUtc();
    row.host = StationHostName();
    row.user = StationUserName();
    row.program = QCoreApplication::applicationName();
    row.programVersion = QString::fromLatin1(kProgramVersion);
    row.port = port;
    const QString devicePath = ResolvePortName(port);
    const QFileInfo device(devicePath);
    row.devicePath = device.isSymLink() ? device.canonicalFilePath() : devicePath;
    const UsbAdapterFacts adapter = UsbAdapterOf(row.devicePath);
    row.usbVendorId = adapter.vendorId;
    row.usbProductId = adapter.productId;
    row.usbSerial = adapter.serialNumber;
    row.adapter = adapter.description;
    return row;
}

StoreResult Recorder::Append(DownloadRecord& row, const TryResult& result) const
{
    if (const std::shared_ptr<const Firmware>& firmware = result.run.firmware) {
        row.firmwareFile = QFileInfo(firmware->fileName).absoluteFilePath();
        row.firmwareSha256 = firmware->sha256;
        if (firmware->Loaded()) {
            row.firmwareCrc = CrcText(firmware->crc);
            row.firmwareStart = firmware->plan.firstStep;
            row.firmwareEnd = firmware->plan.endAddress;
            row.headerDue = firmware->plan.header;
            row.stepsPlanned = firmware->plan.stepCount;
        }
    }
    row.outcome = OutcomeWord(result.run.outcome);
    row.exitCode = OutcomeExitCode(result.run.outcome);
    row.reason = ReasonWord(result.run.reason.kind);
    row.detail = result.detail;
    row.stepsDone = result.stepsDone;
    row.bytesSent = result.bytes.toDevice;
    row.bytesReceived = result.bytes.fromDevice;
    row.finished = QDateTime::currentDateTimeUtc();
    row.durationMs = row.started.msecsTo(row.finished);
    row.link = result.link;
    return m_store.Append(row);
}
