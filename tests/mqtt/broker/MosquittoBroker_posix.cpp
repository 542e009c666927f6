#include "MosquittoBroker.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

} // namespace

int freeLocalPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address = loopback(0);
    int port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool acceptsConnections(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const sockaddr_in address = loopback(port);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

MosquittoBroker::MosquittoBroker() {
    process_.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&process_, &QProcess::readyRead, [this] { output_ += process_.readAll(); });
}

MosquittoBroker::~MosquittoBroker() {
    stop();
}

QString MosquittoBroker::program() {
    for (const QString& candidate :
         {QStringLiteral("/usr/sbin/mosquitto"), QStringLiteral("/usr/local/sbin/mosquitto"),
          QStringLiteral("/opt/homebrew/sbin/mosquitto")})
        if (QFileInfo(candidate).isExecutable())
            return candidate;
    return QStandardPaths::findExecutable(QStringLiteral("mosquitto"));
}

QString MosquittoBroker::url(const QString& user) const {
    const QString userPart = user.isEmpty() ? QString() : user + QLatin1Char('@');
    return (tls_ ? QStringLiteral("mqtts://") : QStringLiteral("mqtt://")) + userPart +
           QStringLiteral("127.0.0.1:") + QString::number(port_);
}

QString MosquittoBroker::log() const {
    return QString::fromLocal8Bit(output_);
}

bool MosquittoBroker::enableTls() {
    const auto run = [this](const QStringList& arguments) {
        QProcess openssl;
        openssl.setWorkingDirectory(dir_.path());
        openssl.start(QStringLiteral("openssl"), arguments);
        if (!openssl.waitForFinished(30000) || openssl.exitStatus() != QProcess::NormalExit ||
            openssl.exitCode() != 0) {
            error_ = QStringLiteral("openssl %1 failed: %2")
                         .arg(arguments.first(), QString::fromLocal8Bit(openssl.readAllStandardError()));
            return false;
        }
        return true;
    };
    QFile extensions(dir_.filePath(QStringLiteral("server.ext")));
    if (!extensions.open(QIODevice::WriteOnly) || extensions.write("subjectAltName=IP:127.0.0.1\n") < 0)
        return false;
    extensions.close();
    tls_ = run({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "ca.key", "-out", "ca.crt",
                "-days", "2", "-subj", "/CN=Velmora test CA"}) &&
           run({"req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key", "-out", "server.csr",
                "-subj", "/CN=127.0.0.1"}) &&
           run({"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key", "-CAcreateserial",
                "-out", "server.crt", "-days", "2", "-extfile", "server.ext"});
    return tls_;
}

bool MosquittoBroker::writeConfig() {
    QFile config(dir_.filePath(QStringLiteral("mosquitto.conf")));
    if (!config.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QByteArray text = "listener " + QByteArray::number(port_) +
                      " 127.0.0.1\n"
                      "persistence false\n"
                      "log_dest stdout\n"
                      "log_type error\nlog_type warning\nlog_type notice\n";
    // Started as root (as in CI), the broker would change to the "mosquitto" user and could
    // not read the temporary folder: it keeps the user it was started as.
    if (const passwd* pw = ::getpwuid(::getuid()))
        text += "user " + QByteArray(pw->pw_name) + "\n";
    if (tls_)
        text += "cafile " + dir_.filePath(QStringLiteral("ca.crt")).toLocal8Bit() + "\ncertfile " +
                dir_.filePath(QStringLiteral("server.crt")).toLocal8Bit() + "\nkeyfile " +
                dir_.filePath(QStringLiteral("server.key")).toLocal8Bit() + "\n";
    if (user_.isEmpty()) {
        text += "allow_anonymous true\n";
    } else {
        const QString passwords = dir_.filePath(QStringLiteral("passwords"));
        QProcess tool;
        tool.start(QStringLiteral("mosquitto_passwd"),
                   {QStringLiteral("-c"), QStringLiteral("-b"), passwords, user_, password_});
        if (!tool.waitForFinished(10000) || tool.exitCode() != 0) {
            error_ = QStringLiteral("mosquitto_passwd failed: %1")
                         .arg(QString::fromLocal8Bit(tool.readAllStandardError()));
            return false;
        }
        text += "allow_anonymous false\npassword_file " + passwords.toLocal8Bit() + "\n";
    }
    return config.write(text) == text.size();
}

bool MosquittoBroker::start() {
    const QString broker = program();
    if (broker.isEmpty()) {
        error_ = QStringLiteral("the Mosquitto broker is not installed (Debian package mosquitto; "
                                "scripts/install-deps.sh installs it)");
        return false;
    }
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return false;
    }
    // A restart keeps its port, so that clients find it again. A first start takes a free
    // port, and another one if a process of this busy machine took it in between.
    const bool restart = port_ != 0;
    for (int attempt = 0; attempt < (restart ? 1 : 3); ++attempt) {
        if (!restart)
            port_ = freeLocalPort();
        if (port_ == 0 || !writeConfig()) {
            if (error_.isEmpty())
                error_ = QStringLiteral("no free port or the configuration could not be written");
            return false;
        }
        if (launch(broker))
            return true;
    }
    return false;
}

bool MosquittoBroker::launch(const QString& broker) {
    output_.clear();
    process_.start(broker, {QStringLiteral("-c"), dir_.filePath(QStringLiteral("mosquitto.conf"))});
    if (!process_.waitForStarted(5000)) {
        error_ = QStringLiteral("the broker did not start: %1").arg(process_.errorString());
        return false;
    }
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (acceptsConnections(port_))
            return true;
        if (process_.waitForFinished(50)) {
            output_ += process_.readAll();
            error_ = QStringLiteral("the broker stopped at once: %1").arg(log());
            return false;
        }
    }
    error_ = QStringLiteral("the broker did not take connections within 10 s: %1").arg(log());
    stop();
    return false;
}

void MosquittoBroker::stop() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}
