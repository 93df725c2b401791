#include "PortProblem.h"

#include "PortNaming.h"
#include "SerialErrorText.h"

#include <QStringList>

namespace {

QString PresentPorts()
{
    QStringList names;
    int number = 1;
    for (const QSerialPortInfo& info : OrderedSystemPorts())
        names << QStringLiteral("%1 (COM%2)").arg(info.systemLocation()).arg(number++);
    if (names.isEmpty())
        return QStringLiteral("no serial ports are present");
    return QStringLiteral("ports present: ") + names.join(QStringLiteral(", "));
}

} // namespace

QString PortProblemWord(SerialError error)
{
    return SerialErrorWord(error);
}

QString PortProblemText(const SerialPort& port)
{
    const QString text = SerialErrorText(port.Error());
    if (port.Error() == SerialError::NoSuchDevice) {
        QString present = PresentPorts();
        present[0] = present[0].toUpper();
        return text + QStringLiteral(" ") + present + QStringLiteral(".");
    }
    if (!text.isEmpty())
        return text;
    const QString reason = port.ErrorText();
    return reason.isEmpty() ? QStringLiteral("cannot be opened")
                            : QStringLiteral("cannot be opened: ") + reason;
}
