#include "PortFailureText.h"

#include "SerialErrorText.h"

QString PortFailureDetail(SerialError error, const QString& systemText)
{
    const QString reason = SerialErrorText(error);
    if (systemText.isEmpty() || !SystemTextHelps(error))
        return reason;
    if (reason.isEmpty())
        return systemText;
    return reason + QStringLiteral("\n(") + systemText + QStringLiteral(")");
}
