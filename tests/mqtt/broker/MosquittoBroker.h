#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real Mosquitto broker for one test, on 127.0.0.1 and a free port, with its configuration
// in a temporary folder. Anonymous clients are let in unless a user is set, in which case only
// that user with that password is.
class MosquittoBroker {
public:
    MosquittoBroker();
    ~MosquittoBroker();

    // Where the broker program is, or empty (with why) when it is not installed.
    static QString program();

    void requireUser(const QString& user, const QString& password) {
        user_ = user;
        password_ = password;
    }
    // TLS on the listener, with a certificate for 127.0.0.1 signed by a CA made for the test
    // (openssl); false, with the reason in error(), when it cannot be made.
    bool enableTls();
    QString caFile() const { return dir_.filePath(QStringLiteral("ca.crt")); }

    // Starts it and waits (at most a few seconds) until it takes connections. On failure the
    // reason is in error().
    bool start();
    // Stops it (as a service manager does), waiting for the process to end.
    void stop();
    bool isRunning() const { return process_.state() != QProcess::NotRunning; }

    int port() const { return port_; }
    QString url(const QString& user = QString()) const;
    QString error() const { return error_; }
    QString log() const; // what the broker said, for a failing test

private:
    bool writeConfig();
    bool launch(const QString& broker);

    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
    QString user_;
    QString password_;
    bool tls_ = false;
    QString error_;
    QByteArray output_;
};

// Free TCP port on 127.0.0.1 now (the system's choice for a socket bound to port 0).
int freeLocalPort();
// True when something accepts connections on 127.0.0.1:port.
bool acceptsConnections(int port);
