#include "RecordTarget.h"

#include <QStandardPaths>
#include <QUrl>

QString RecordTarget::ServerName() const
{
    return QStringLiteral("postgresql://%1@%2:%3/%4")
        .arg(serverUser, serverHost)
        .arg(serverPort)
        .arg(serverDatabase);
}

QString DefaultRecordFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/NorvaneProg/history.sqlite");
}

std::optional<RecordTarget> ParseRecordTarget(const QString& spec, QString& error,
                                              const QString& localFile)
{
    RecordTarget target;
    target.file = localFile;
    const bool server = spec.startsWith(QLatin1String("postgresql://")) ||
                        spec.startsWith(QLatin1String("postgres://"));
    if (!server) {
        if (!spec.isEmpty())
            target.file = spec;
        return target;
    }
    const QUrl url(spec, QUrl::StrictMode);
    const QString database = url.path().mid(1);
    if (!url.isValid() || url.host().isEmpty() || url.userName().isEmpty() || database.isEmpty() ||
        database.contains(QLatin1Char('/')) || url.hasQuery() || url.hasFragment()) {
        error = QStringLiteral("%1 is not postgresql://USER@HOST[:PORT]/DB").arg(spec);
        return std::nullopt;
    }
    target.serverUser = url.userName();
    target.serverPassword = url.password();
    target.serverHost = url.host();
    target.serverPort = url.port(5432);
    target.serverDatabase = database;
    return target;
}
