// POSIX pseudo-terminals (Linux, macOS): posix_openpt, grantpt, unlockpt, ptsname.
#include "PseudoTerminal.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString lastError(const char* what) {
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(strerror(errno)));
}

} // namespace

PseudoTerminal::PseudoTerminal(QObject* parent)
    : QObject(parent) {}

PseudoTerminal::~PseudoTerminal() {
    if (master_ >= 0)
        ::close(master_);
}

bool PseudoTerminal::open(QString* error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        *error = lastError("posix_openpt");
        return false;
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        *error = lastError("grantpt/unlockpt");
        return false;
    }
    const char* name = ptsname(master_);
    if (!name) {
        *error = lastError("ptsname");
        return false;
    }
    devicePath_ = QString::fromLocal8Bit(name);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);

    // Raw bytes both ways: no echo, no line editing, no translation; 9600 bit/s as the bus.
    termios settings{};
    if (tcgetattr(master_, &settings) == 0) {
        cfmakeraw(&settings);
        cfsetispeed(&settings, B9600);
        cfsetospeed(&settings, B9600);
        tcsetattr(master_, TCSANOW, &settings);
    }
    // Open and close the device once, so that "nobody holds it" shows as a hang-up from the
    // start, as it does after a client has come and gone.
    const int device = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (device >= 0)
        ::close(device);

    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &PseudoTerminal::readAvailable);
    clientWatch_ = new QTimer(this);
    clientWatch_->setInterval(50);
    connect(clientWatch_, &QTimer::timeout, this, &PseudoTerminal::watchForClient);
    watchForClient();
    return true;
}

bool PseudoTerminal::hasClient() const {
    if (master_ < 0)
        return false;
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, 0) < 0)
        return false;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) == 0;
}

void PseudoTerminal::watchForClient() {
    const bool client = hasClient();
    // While nobody holds the device the controlling side reports a hang-up all the time:
    // listen only while a client is there, and look for one now and then otherwise.
    notifier_->setEnabled(client);
    if (client)
        clientWatch_->stop();
    else {
        tcflush(master_, TCIOFLUSH); // nothing stale for the next client
        clientWatch_->start();
    }
}

void PseudoTerminal::readAvailable() {
    QByteArray received;
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN)
            watchForClient(); // the client closed the device
        break;
    }
    if (!received.isEmpty())
        emit bytesReceived(received);
}

void PseudoTerminal::write(const QByteArray& bytes) {
    if (!hasClient()) {
        watchForClient();
        return;
    }
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + sent, size_t(bytes.size() - sent));
        if (n > 0)
            sent += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break; // the reader is not keeping up: the rest is lost, as on a real line
    }
}
