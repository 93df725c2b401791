#include "PortFailureText.h"

#include "Outcome.h"

QString PortFailureDetail(SerialError error, const QString& systemText)
{
    const FailureReason reason = PortFailure(error);
    if (reason.kind == FailureKind::PortUnusable)
        return systemText;
    const QString sentence = ReasonText(reason);
    // The system's words add nothing for a pulled cable or a file that is no serial port
    // ("Inappropriate ioctl for device" tells a user nothing).
    if (systemText.isEmpty() || reason.kind == FailureKind::LineLost ||
        reason.kind == FailureKind::NotASerialPort)
        return sentence;
    return sentence + QStringLiteral("\n(") + systemText + QStringLiteral(")");
}
