#include "FlashTrace.h"

#include "PortNaming.h"
#include "RecordFile.h"
#include "SameFile.h"
#include "VisibleText.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

std::FILE* OpenForWriting(const QString& fileName)
{
#ifdef _WIN32
    return _wfopen(reinterpret_cast<const wchar_t*>(fileName.utf16()), L"w");
#else
    // Not blocking: a FIFO without a reader fails at once (ENXIO) instead of waiting.
    const int fd = open(QFile::encodeName(fileName).constData(),
                        O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "w");
    if (!file)
        close(fd);
    return file;
#endif
}

} // namespace

FlashTraceLog::~FlashTraceLog()
{
    Close();
}

bool FlashTraceLog::MayTrace(const QString& fileName, const QString& firmwareFile,
                             const QStringList& ports, const QString& recordFile, QString& error)
{
    if (const QString clash = OutputClashWithRecord(fileName, recordFile); !clash.isEmpty()) {
        error = QStringLiteral("the trace file %1 %2").arg(fileName, clash);
        return false;
    }
    if (SameFile(fileName, firmwareFile)) {
        error = QStringLiteral("the trace file %1 is the firmware file").arg(fileName);
        return false;
    }
    for (const QString& port : ports) {
        if (fileName == port || SameFile(fileName, ResolvePortName(port))) {
            error = QStringLiteral("the trace file %1 is the port %2").arg(fileName, port);
            return false;
        }
    }
    return true;
}

bool FlashTraceLog::Open(const QString& fileName, QString& error)
{
    m_file = OpenForWriting(fileName);
    if (!m_file) {
        error = errno == ENXIO ? QStringLiteral("no program reads that FIFO")
                               : QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_clock.start();
    return true;
}

bool FlashTraceLog::Close()
{
    m_queue.Close();
    if (!m_file)
        return true;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    return closed && !m_queue.Failed();
}

void FlashTraceLog::Write(int64_t atMs, const QString& port, const char* direction,
                          const std::vector<uint8_t>& bytes)
{
    QByteArray line = QByteArray::number(static_cast<qint64>(atMs)).rightJustified(8) + " ms " +
                      VisibleText(port).toUtf8() + ' ' + direction;
    for (const uint8_t byte : bytes)
        line += ' ' + QByteArray::number(byte, 16).rightJustified(2, '0').toUpper();
    line += '\n';
    m_queue.Write(m_file, line);
}
