#include "Outcome.h"

#include "Protocol.h"

#include <algorithm>
#include <iterator>

namespace {

struct OutcomeRow
{
    Outcome outcome;
    const char* word;
    const char* phrase;
    int exitCode;
    int rank; // higher: the device is left in a worse state
};

constexpr OutcomeRow kOutcomes[] = {
    {Outcome::Downloaded, "downloaded", "downloaded", 0, 0},
    {Outcome::Failed, "failed", "download failed", 1, 5},
    {Outcome::Cancelled, "cancelled", "cancelled", 2, 4},
    {Outcome::FileUnusable, "file-unusable", "file not usable", 3, 1},
    {Outcome::PortUnavailable, "port-unavailable", "port cannot be opened", 4, 2},
    {Outcome::BootloaderNotStarted, "bootloader-not-started", "bootloader did not start", 5, 3},
};

struct ReasonRow
{
    FailureKind kind;
    const char* word;
    Outcome outcome;
    bool worthRetrying;
};

constexpr ReasonRow kReasons[] = {
    {FailureKind::NoReply, "no-reply", Outcome::Failed, true},
    {FailureKind::WrongReply, "wrong-reply", Outcome::Failed, true},
    {FailureKind::VerifyRefused, "verify-refused", Outcome::Failed, false},
    {FailureKind::LineLost, "line-lost", Outcome::Failed, true},
    {FailureKind::NoDevice, "no-device", Outcome::PortUnavailable, false},
    {FailureKind::PermissionDenied, "permission-denied", Outcome::PortUnavailable, false},
    {FailureKind::PortBusy, "port-busy", Outcome::PortUnavailable, false},
    {FailureKind::NotASerialPort, "not-a-serial-port", Outcome::PortUnavailable, false},
    {FailureKind::PortUnusable, "port-unusable", Outcome::PortUnavailable, false},
    {FailureKind::BootloaderNotStarted, "bootloader-not-started", Outcome::BootloaderNotStarted,
     true},
    {FailureKind::FileMissing, "file-missing", Outcome::FileUnusable, false},
    {FailureKind::FileNotUsable, "file-not-usable", Outcome::FileUnusable, false},
};

const OutcomeRow& RowOf(Outcome outcome)
{
    return *std::find_if(std::begin(kOutcomes), std::end(kOutcomes),
                         [outcome](const OutcomeRow& row) { return row.outcome == outcome; });
}

// Null for FailureKind::None.
const ReasonRow* RowOf(FailureKind kind)
{
    const auto found = std::find_if(std::begin(kReasons), std::end(kReasons),
                                    [kind](const ReasonRow& row) { return row.kind == kind; });
    return found == std::end(kReasons) ? nullptr : found;
}

QString Hex(int value, int digits)
{
    return QStringLiteral("0x") +
           QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// "the program command at 0x003080", "the erase command (block 4)", "the header command".
QString Subject(const FailureReason& reason)
{
    QString subject =
        QStringLiteral("the ") + CommandName(reason.command) + QStringLiteral(" command");
    if (reason.address >= 0)
        subject += QStringLiteral(" at ") + Hex(reason.address, 6);
    if (reason.block > 0)
        subject += QStringLiteral(" (block %1)").arg(reason.block);
    return subject;
}

QString Seconds(int32_t ms)
{
    return QString::number(ms / 1000.0, 'g', 4) + QStringLiteral(" s");
}

} // namespace

QString OutcomeWord(Outcome outcome)
{
    return QString::fromLatin1(RowOf(outcome).word);
}

QString OutcomePhrase(Outcome outcome)
{
    return QString::fromLatin1(RowOf(outcome).phrase);
}

int OutcomeExitCode(Outcome outcome)
{
    return RowOf(outcome).exitCode;
}

std::optional<Outcome> OutcomeFromWord(const QString& word)
{
    for (const OutcomeRow& row : kOutcomes) {
        if (word == QLatin1String(row.word))
            return row.outcome;
    }
    return std::nullopt;
}

QStringList OutcomeWords()
{
    QStringList words;
    for (const OutcomeRow& row : kOutcomes)
        words.append(QString::fromLatin1(row.word));
    return words;
}

Outcome WorseOutcome(Outcome a, Outcome b)
{
    return RowOf(b).rank > RowOf(a).rank ? b : a;
}

Outcome OutcomeOf(FailureKind kind)
{
    const ReasonRow* row = RowOf(kind);
    return row ? row->outcome : Outcome::Downloaded;
}

QString ReasonWord(FailureKind kind)
{
    const ReasonRow* row = RowOf(kind);
    return row ? QString::fromLatin1(row->word) : QString();
}

QStringList ReasonWords()
{
    QStringList words;
    for (const ReasonRow& row : kReasons)
        words.append(QString::fromLatin1(row.word));
    return words;
}

bool WorthRetrying(FailureKind kind)
{
    const ReasonRow* row = RowOf(kind);
    return row && row->worthRetrying;
}

QString ReasonText(const FailureReason& reason)
{
    switch (reason.kind) {
    case FailureKind::None:
        break;
    case FailureKind::NoReply:
        if (reason.command == kCommandHeader && reason.expected == kReplyApplicationVerified)
            return QStringLiteral("No verify report from the device within %1.")
                .arg(Seconds(reason.timeoutMs));
        return QStringLiteral("Reply %1 to %2 did not come within %3.")
            .arg(reason.reply)
            .arg(Subject(reason), Seconds(reason.timeoutMs));
    case FailureKind::WrongReply:
        return QStringLiteral("The device replied with code %1 to %2 where code %3 was due.")
            .arg(reason.received)
            .arg(Subject(reason))
            .arg(reason.expected);
    case FailureKind::VerifyRefused:
        return QStringLiteral("The device refused the image (code %1): its CRC or checksum does "
                              "not match the header.")
            .arg(reason.received);
    case FailureKind::LineLost:
        return QStringLiteral("The device or adapter was disconnected.");
    case FailureKind::NoDevice:
        return QStringLiteral("No device answers to this port (no such device). Check that the "
                              "device is plugged in and that the port is mapped to it.");
    case FailureKind::PermissionDenied:
        // Joining 'dialout' helps only where the device belongs to it.
        if (!reason.dialoutGroup)
            return QStringLiteral("You are not allowed to open this port.");
        return QStringLiteral("You are not allowed to open this port. On Linux, join the "
                              "'dialout' group (sudo usermod -aG dialout $USER), then log "
                              "out and in again.");
    case FailureKind::PortBusy:
        return QStringLiteral("The port is in use by another program (on Linux often "
                              "ModemManager: 'sudo systemctl stop ModemManager'). Close that "
                              "program and try again.");
    case FailureKind::NotASerialPort:
        return QStringLiteral("This is not a serial port.");
    case FailureKind::PortUnusable:
        return QStringLiteral("cannot be opened");
    case FailureKind::BootloaderNotStarted:
        return QStringLiteral("The device did not answer %1 polls for its bootloader.")
            .arg(reason.polls);
    case FailureKind::FileMissing:
        return QStringLiteral("The firmware file is missing or cannot be read.");
    case FailureKind::FileNotUsable:
        return QStringLiteral("The firmware file is not a usable S-record file.");
    }
    return QString();
}

QString CommandName(uint8_t command)
{
    switch (command) {
    case kCommandProgram:
        return QStringLiteral("program");
    case kCommandErase:
        return QStringLiteral("erase");
    case kCommandEraseProgram:
        return QStringLiteral("erase-and-program");
    case kCommandHeader:
        return QStringLiteral("header");
    default:
        return QStringLiteral("unknown");
    }
}
