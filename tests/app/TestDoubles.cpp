#include "RecordingShell.h"
#include "ScriptedPort.h"

#include <QFileInfo>

bool RecordingShell::OpenDocument(const QString& path)
{
    documents.append(path);
    return QFileInfo(path).isFile();
}

bool ScriptedPort::Open()
{
    if (openable.contains(m_name)) {
        m_open = true;
        m_error = SerialError::None;
        m_errorText.clear();
        opened.append(m_name);
        return true;
    }
    m_error = failures.value(m_name, SerialError::NoSuchDevice);
    m_errorText = QStringLiteral("system says no to ") + m_name;
    return false;
}
