#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real PostgreSQL server from the system's packages, made for one test in a temporary
// folder and listening on a free local port. Run as root (as in CI), it runs as the user
// nobody, as PostgreSQL refuses to run as root.
class PostgresServer
{
public:
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // Why the server cannot be made here (PostgreSQL or Qt's driver for it not installed);
    // empty when it can.
    QString MissingPart() const;

    // Makes the cluster with a user "line" and a database "record"; false with the reason in
    // Error() when that fails.
    bool Create();
    bool Start();
    bool Stop();

    // Adds a user who may only read the record's table (made now or later) and must give
    // password to log in; false with the reason in Error() when that fails.
    bool AddReader(const QString& user, const QString& password);

    // postgresql://USER@127.0.0.1:PORT/record
    QString Url(const QString& user = QStringLiteral("line")) const;
    const QString& Error() const { return m_error; }

private:
    bool Run(const QString& program, const QStringList& args, bool asServerUser);

    QString m_bin; // the folder of initdb, pg_ctl, createdb
    QTemporaryDir m_dir;
    QString m_data;
    quint16 m_port = 0;
    bool m_running = false;
    QString m_error;
};
