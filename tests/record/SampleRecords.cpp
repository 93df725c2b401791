#include "SampleRecords.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct Ending
{
    int weight; // in a thousand
    const char* outcome;
    const char* reason;
    int exitCode;
    const char* detail;
};

constexpr std::array<Ending, 7> kEndings{{
    {880, "downloaded", "", 0, "verified by the device, CRC 5A3Ch"},
    {30, "failed", "no-reply", 1, "no reply to the program command at 0x00C400"},
    {20, "failed", "line-lost", 1, "the line was lost: device removed"},
    {10, "failed", "verify-refused", 1, "the device refused the new application"},
    {30, "bootloader-not-started", "bootloader-not-started", 5,
     "the device did not answer the bootloader polls"},
    {10, "port-unavailable", "port-unavailable", 4, "permission denied"},
    {20, "cancelled", "cancelled", 2, ""},
}};

constexpr std::array<const char*, 6> kSerials{"A10K3Q2", "A10K3Q7", "FT7Z1B9",
                                              "FT7Z1C4", "FT7Z1D0", "B22M8X1"};
// The adapter whose latency timer was left at 16 ms: its replies come late.
constexpr size_t kLateSlot = 2;

const Ending& PickEnding(QRandomGenerator& random)
{
    int roll = static_cast<int>(random.bounded(1000));
    for (const Ending& ending : kEndings) {
        if (roll < ending.weight)
            return ending;
        roll -= ending.weight;
    }
    return kEndings.front();
}

} // namespace

DownloadRecord SampleRecord(SampleLine& line)
{
    constexpr int kSteps = 128;
    const Ending& ending = PickEnding(line.random);
    const size_t slot = line.random.bounded(static_cast<quint32>(kSerials.size()));
    DownloadRecord r;
    r.id = NewRecordId();
    const qint64 back = line.spreadSeconds > 0
                            ? static_cast<qint64>(line.random.bounded(line.spreadSeconds)) * 1000
                            : 0;
    // Durations cluster around 7.5 s; runs that end early end early.
    const double normal = line.random.generateDouble() + line.random.generateDouble() - 1.0;
    const bool fullRun = ending.outcome == std::string_view("downloaded") ||
                         ending.reason == std::string_view("verify-refused");
    r.durationMs = fullRun ? static_cast<int64_t>(7500 + 900 * normal)
                           : static_cast<int64_t>(500 + line.random.bounded(5000));
    r.started = line.now.addMSecs(-back - r.durationMs);
    r.finished = r.started.addMSecs(r.durationMs);
    r.host = line.host;
    r.user = QStringLiteral("line");
    r.program = QStringLiteral("norvane-flash");
    r.programVersion = QStringLiteral("1.0.11");
    r.usbSerial = QString::fromLatin1(kSerials[slot]);
    r.port =
        QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_%1-if00-port0").arg(r.usbSerial);
    r.devicePath = QStringLiteral("/dev/ttyUSB%1").arg(slot);
    r.usbVendorId = QStringLiteral("0403");
    r.usbProductId = QStringLiteral("6001");
    r.adapter = QStringLiteral("FTDI FT232R USB UART");
    r.firmwareFile = QStringLiteral("/srv/firmware/norvane-2.4.mot");
    r.firmwareCrc = QStringLiteral("5A3C");
    r.firmwareStart = 0x4000;
    r.firmwareEnd = 0x7FFF;
    r.firmwareSha256 =
        QStringLiteral("9f2c4e1b7a0d5c3e8f6a1b2c3d4e5f60718293a4b5c6d7e8f90a1b2c3d4e5f60");
    r.headerDue = true;
    r.outcome = QString::fromLatin1(ending.outcome);
    r.reason = QString::fromLatin1(ending.reason);
    r.exitCode = ending.exitCode;
    r.detail = QString::fromLatin1(ending.detail);
    r.stepsPlanned = kSteps;
    r.stepsDone = fullRun ? kSteps : std::min<int>(kSteps, static_cast<int>(r.durationMs / 60));
    r.bytesSent = 143LL * r.stepsDone + 30;
    r.bytesReceived = 4LL * r.stepsDone + 4;
    if (r.stepsDone > 0) {
        const int latency = slot == kLateSlot ? 16 : 0;
        r.link.Of(ReplyKind::Program) = {2 * r.stepsDone, 1 + latency,
                                         2 + latency + static_cast<int>(line.random.bounded(3))};
        r.link.packetPhaseRatio = latency > 0 ? 1.23 : 1.02;
    }
    return r;
}

QString FirstVersionTableSql(bool localFile)
{
    return QStringLiteral(
               "CREATE TABLE downloads (id TEXT PRIMARY KEY, started_utc TEXT NOT NULL, "
               "finished_utc TEXT NOT NULL, host TEXT, user_name TEXT, program TEXT, "
               "program_version TEXT, port TEXT, device_path TEXT, usb_vendor_id TEXT, "
               "usb_product_id TEXT, usb_serial TEXT, adapter TEXT, firmware_file TEXT, "
               "firmware_crc TEXT, firmware_start INTEGER, firmware_end INTEGER, "
               "firmware_sha256 TEXT, header_due INTEGER, outcome TEXT, reason TEXT, "
               "exit_code INTEGER, detail TEXT, steps_done INTEGER, steps_planned INTEGER, "
               "bytes_sent BIGINT, bytes_received BIGINT, duration_ms BIGINT%1)")
        .arg(localFile ? QStringLiteral(", unsent_to TEXT") : QString());
}

QString FirstVersionRowSql()
{
    return QStringLiteral(
        "INSERT INTO downloads (id, started_utc, finished_utc, port, outcome, duration_ms) "
        "VALUES ('first-version', '2026-01-05T08:00:00.000Z', '2026-01-05T08:00:07.500Z', "
        "'COM1', 'downloaded', 7500)");
}
