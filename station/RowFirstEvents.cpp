#include "RowFirstEvents.h"

#include <utility>

RowFirstEvents::RowFirstEvents(RunEvents& sink, QString downloadedStatus)
    : m_sink(sink), m_downloadedStatus(std::move(downloadedStatus))
{
}

void RowFirstEvents::Status(const QString& port, const QString& text)
{
    if (text == m_downloadedStatus) {
        const std::lock_guard lock(m_mutex);
        m_held.insert(port);
        return;
    }
    m_sink.Status(port, text);
}

void RowFirstEvents::FileState(const QString& port, const QString& text)
{
    m_sink.FileState(port, text);
}

void RowFirstEvents::Progress(const QString& port, const RunProgress& progress)
{
    m_sink.Progress(port, progress);
}

void RowFirstEvents::Message(const QString& port, const MessageBoxText& box)
{
    m_sink.Message(port, box);
}

void RowFirstEvents::RowWritten(const QString& port)
{
    {
        const std::lock_guard lock(m_mutex);
        if (m_held.erase(port) == 0)
            return;
    }
    m_sink.Status(port, m_downloadedStatus);
}
