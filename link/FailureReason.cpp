#include "FailureReason.h"

#include "Protocol.h"

namespace {

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

QString ReasonWord(FailureKind kind)
{
    switch (kind) {
    case FailureKind::None:
        break;
    case FailureKind::NoReply:
        return QStringLiteral("no-reply");
    case FailureKind::WrongReply:
        return QStringLiteral("wrong-reply");
    case FailureKind::VerifyRefused:
        return QStringLiteral("verify-refused");
    case FailureKind::LineLost:
        return QStringLiteral("line-lost");
    case FailureKind::NotASerialPort:
        return QStringLiteral("not-a-serial-port");
    case FailureKind::BootloaderNotStarted:
        return QStringLiteral("bootloader-not-started");
    case FailureKind::FileMissing:
        return QStringLiteral("file-missing");
    case FailureKind::FileNotUsable:
        return QStringLiteral("file-not-usable");
    }
    return QString();
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
    case FailureKind::NotASerialPort:
        return QStringLiteral("The port is not a serial port.");
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
