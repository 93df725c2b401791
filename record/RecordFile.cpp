#include "RecordFile.h"

#include "RecordConnection.h"
#include "RecordSchema.h"
#include "RecordTarget.h"
#include "SameFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlRecord>

namespace {

// The path of a file that may not exist yet, with its folder's links and ".." resolved where
// the folder exists.
QString ResolvedPath(const QString& file)
{
    const QFileInfo info(file);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        return QDir::cleanPath(info.absoluteFilePath());
    return folder + QLatin1Char('/') + info.fileName();
}

bool SameName(const QString& a, const QString& b)
{
    return SameFile(a, b) || ResolvedPath(a) == ResolvedPath(b);
}

// A table of an older version counts: a writer adds the columns it lacks.
bool HasRecordTable(RecordConnection& connection)
{
    return IsRecordTable(connection.Database().record(QStringLiteral("downloads")));
}

} // namespace

bool IsSqliteFile(const QString& file)
{
    static constexpr char kHeader[] = "SQLite format 3"; // and its terminating zero
    if (!QFileInfo(file).isFile())
        return false;
    QFile database(file);
    return database.open(QIODevice::ReadOnly) &&
           database.read(sizeof kHeader) == QByteArray(kHeader, sizeof kHeader);
}

QString RecordFileProblem(const QString& file)
{
    const QFileInfo info(file);
    if (info.exists() && !info.isFile())
        return QStringLiteral("the record %1 is not a regular file").arg(file);
    if (!IsSqliteFile(file))
        return QString();
    RecordConnection connection(file, RecordConnection::Access::ReadOnly);
    if (!connection.Ok() || connection.Database().tables().isEmpty() || HasRecordTable(connection))
        return QString();
    return QStringLiteral("%1 is a database of another program, not a record (it has no table of "
                          "downloads)")
        .arg(file);
}

QString OutputClashWithRecord(const QString& output, const QString& recordFile)
{
    // The default record counts too, made yet or not: every program that is given no record
    // writes there, and a page in its place would stop them all.
    for (const QString& record : {recordFile, DefaultRecordFile()}) {
        if (SameName(output, record))
            return QStringLiteral("is the record");
        for (const char* journal : {"-wal", "-journal", "-shm"}) {
            if (SameName(output, record + QLatin1String(journal)))
                return QStringLiteral("is a journal of the record");
        }
    }
    if (IsSqliteFile(output))
        return QStringLiteral("is a SQLite database");
    return QString();
}
