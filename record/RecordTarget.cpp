#include "RecordTarget.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

namespace {

// The scheme of an address ("postgresql" of "postgresql://..."): letters, digits, + - . after
// a first letter, then ':'. A single letter is a drive, not a scheme.
QString SchemeOf(const QString& spec)
{
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]+):"));
    return scheme.match(spec).captured(1).toLower();
}

} // namespace

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

QString AddressWithoutPassword(const QString& spec)
{
    const QString scheme = SchemeOf(spec);
    if (scheme.isEmpty())
        return spec;
    // The user part ends at the last '@': a password may hold any character. Cutting too much
    // of a strange address hides more of it, never the password less.
    const qsizetype userStart =
        spec.indexOf(QRegularExpression(QStringLiteral("[^/]")), scheme.size() + 1);
    const qsizetype at = spec.lastIndexOf(QLatin1Char('@'));
    const qsizetype colon = spec.indexOf(QLatin1Char(':'), userStart);
    if (userStart < 0 || at < 0 || colon < 0 || colon > at)
        return spec;
    return spec.left(colon + 1) + QStringLiteral("***") + spec.mid(at);
}

std::optional<RecordTarget> ParseRecordTarget(const QString& spec, QString& error,
                                              const QString& localFile)
{
    RecordTarget target;
    target.file = localFile;
    const QString scheme = SchemeOf(spec);
    if (scheme.isEmpty()) {
        if (!spec.isEmpty())
            target.file = spec;
        return target;
    }
    if (scheme != QLatin1String("postgresql") && scheme != QLatin1String("postgres")) {
        error = QStringLiteral("%1 is not a record address: give postgresql://USER@HOST[:PORT]/DB "
                               "or a file (./NAME for a name with ':')")
                    .arg(AddressWithoutPassword(spec));
        return std::nullopt;
    }
    const QUrl url(spec, QUrl::StrictMode);
    const QString database = url.path().mid(1);
    if (!spec.mid(scheme.size()).startsWith(QLatin1String("://")) || !url.isValid() ||
        url.host().isEmpty() || url.userName().isEmpty() || database.isEmpty() ||
        database.contains(QLatin1Char('/')) || url.hasQuery() || url.hasFragment()) {
        error = QStringLiteral("%1 is not postgresql://USER@HOST[:PORT]/DB")
                    .arg(AddressWithoutPassword(spec));
        return std::nullopt;
    }
    target.serverUser = url.userName(QUrl::FullyDecoded);
    target.serverPassword = url.password(QUrl::FullyDecoded);
    target.serverHost = url.host();
    target.serverPort = url.port(5432);
    target.serverDatabase = database;
    return target;
}
