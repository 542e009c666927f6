#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal() {
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    const char* name = nullptr;
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || (name = ::ptsname(fd)) == nullptr) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return;
    }
    devicePath_ = QString::fromLocal8Bit(name);
    // The test never waits on this end: reads take what is there.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    master_ = fd;
}

PseudoTerminal::~PseudoTerminal() {
    vanish();
}

bool PseudoTerminal::send(const QByteArray& bytes) {
    if (master_ < 0)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

QByteArray PseudoTerminal::receive() {
    QByteArray bytes;
    if (master_ < 0)
        return bytes;
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0)
            bytes.append(buffer, n);
        else if (!(n < 0 && errno == EINTR))
            break;
    }
    return bytes;
}

void PseudoTerminal::vanish() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}
