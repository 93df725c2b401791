#include "LiveLines.h"

QByteArray LiveLines::Draw(const QByteArray& above, const QStringList& lines, int width)
{
    QByteArray bytes = Erase() + above;
    for (const QString& line : lines)
        bytes += line.left(width - 1).toLocal8Bit() + '\n';
    m_drawn = static_cast<int>(lines.size());
    return bytes;
}

QByteArray LiveLines::Erase()
{
    QByteArray bytes = m_drawn > 0 ? "\x1b[" + QByteArray::number(m_drawn) + 'A' : QByteArray();
    m_drawn = 0;
    return bytes + "\r\x1b[J";
}
