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
    return QStringLiteral("mqtt://") + userPart + QStringLiteral("127.0.0.1:") + QString::number(port_);
}

QString MosquittoBroker::log() const {
    return QString::fromLocal8Bit(output_);
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
    if (port_ == 0)
        port_ = freeLocalPort(); // kept across a restart, so clients find it again
    if (port_ == 0 || !writeConfig()) {
        if (error_.isEmpty())
            error_ = QStringLiteral("no free port or the configuration could not be written");
        return false;
    }
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
