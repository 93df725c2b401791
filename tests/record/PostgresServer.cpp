#include "PostgresServer.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>

#include <algorithm>

#include <pwd.h>
#include <unistd.h>

namespace {

constexpr int kProcessTimeoutMs = 60000;

// The newest installed major version's programs, e.g. /usr/lib/postgresql/15/bin.
QString ServerPrograms()
{
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(versions.begin(), versions.end(), numeric);
    for (auto it = versions.crbegin(); it != versions.crend(); ++it) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(*it);
        if (QFile::exists(bin + QStringLiteral("/initdb")))
            return bin;
    }
    return QString();
}

quint16 FreeLocalPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

} // namespace

PostgresServer::PostgresServer() : m_bin(ServerPrograms()), m_data(m_dir.filePath("data")) {}

PostgresServer::~PostgresServer()
{
    if (m_running)
        Run(m_bin + QStringLiteral("/pg_ctl"),
            {QStringLiteral("-D"), m_data, QStringLiteral("-m"), QStringLiteral("immediate"),
             QStringLiteral("-w"), QStringLiteral("stop")},
            true);
}

QString PostgresServer::MissingPart() const
{
    if (m_bin.isEmpty())
        return QStringLiteral("PostgreSQL is not installed (Debian package postgresql)");
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return QStringLiteral("Qt's PostgreSQL driver is not installed (libqt6sql6-psql)");
    return QString();
}

bool PostgresServer::Create()
{
    if (!m_dir.isValid() || !QDir().mkpath(m_data)) {
        m_error = QStringLiteral("cannot make a temporary folder");
        return false;
    }
    if (geteuid() == 0) {
        // The server's user must reach its folder and own the data in it.
        const passwd* nobody = getpwnam("nobody");
        if (!nobody ||
            chown(QFile::encodeName(m_data).constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
            m_error = QStringLiteral("cannot give the data folder to the user nobody");
            return false;
        }
        QFile::setPermissions(m_dir.path(),
                              QFile::permissions(m_dir.path()) | QFileDevice::ExeOther);
    }
    m_port = FreeLocalPort();
    return Run(m_bin + QStringLiteral("/initdb"),
               {QStringLiteral("-D"), m_data, QStringLiteral("-U"), QStringLiteral("line"),
                QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-E"),
                QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("-N")},
               true) &&
           Start() &&
           Run(m_bin + QStringLiteral("/createdb"),
               {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                QString::number(m_port), QStringLiteral("-U"), QStringLiteral("line"),
                QStringLiteral("record")},
               false);
}

bool PostgresServer::Start()
{
    const QString options = QStringLiteral("-p %1 -c listen_addresses=127.0.0.1 "
                                           "-c unix_socket_directories=%2 -c fsync=off")
                                .arg(m_port)
                                .arg(m_data);
    m_running = Run(m_bin + QStringLiteral("/pg_ctl"),
                    {QStringLiteral("-D"), m_data, QStringLiteral("-l"),
                     m_data + QStringLiteral("/server.log"), QStringLiteral("-o"), options,
                     QStringLiteral("-w"), QStringLiteral("start")},
                    true);
    return m_running;
}

bool PostgresServer::Stop()
{
    const bool stopped = Run(m_bin + QStringLiteral("/pg_ctl"),
                             {QStringLiteral("-D"), m_data, QStringLiteral("-m"),
                              QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")},
                             true);
    m_running = m_running && !stopped;
    return stopped;
}

bool PostgresServer::AddReader(const QString& user, const QString& password)
{
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_data);
        admin.setHostName(QStringLiteral("127.0.0.1"));
        admin.setPort(m_port);
        admin.setUserName(QStringLiteral("line"));
        admin.setDatabaseName(QStringLiteral("record"));
        QSqlQuery query(admin);
        const bool made =
            admin.open() &&
            query.exec(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2'").arg(user, password)) &&
            query.exec(QStringLiteral("ALTER DEFAULT PRIVILEGES IN SCHEMA public GRANT SELECT ON "
                                      "TABLES TO %1")
                           .arg(user)) &&
            query.exec(
                QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA public TO %1").arg(user));
        m_error = query.lastError().text() + admin.lastError().text();
        query = QSqlQuery();
        admin = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_data);
        if (!made)
            return false;
    }
    // The first line that matches counts: this user alone logs in with a password.
    QFile rules(m_data + QStringLiteral("/pg_hba.conf"));
    if (!rules.open(QIODevice::ReadOnly)) {
        m_error = rules.errorString();
        return false;
    }
    const QByteArray others = rules.readAll();
    rules.close();
    if (!rules.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        rules.write("host all " + user.toUtf8() + " 127.0.0.1/32 scram-sha-256\n" + others) < 0) {
        m_error = rules.errorString();
        return false;
    }
    rules.close();
    return Run(m_bin + QStringLiteral("/pg_ctl"),
               {QStringLiteral("-D"), m_data, QStringLiteral("reload")}, true);
}

QString PostgresServer::Url(const QString& user) const
{
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/record").arg(user).arg(m_port);
}

bool PostgresServer::Run(const QString& program, const QStringList& args, bool asServerUser)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (asServerUser && geteuid() == 0) {
        process.start(QStringLiteral("setpriv"),
                      QStringList{QStringLiteral("--reuid=nobody"),
                                  QStringLiteral("--regid=nogroup"),
                                  QStringLiteral("--clear-groups"), QStringLiteral("--"), program} +
                          args);
    } else {
        process.start(program, args);
    }
    if (process.waitForFinished(kProcessTimeoutMs) &&
        process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    m_error = QStringLiteral("%1 failed: %2")
                  .arg(QDir(program).dirName(), QString::fromLocal8Bit(process.readAll()));
    return false;
}
