#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
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

QString PseudoTerminal::lineSettings() const {
    termios line{};
    if (master_ < 0 || ::tcgetattr(master_, &line) != 0)
        return QString();
    const speed_t speed = ::cfgetospeed(&line);
    QString text;
    switch (speed) {
    case B1200: text = QStringLiteral("1200"); break;
    case B2400: text = QStringLiteral("2400"); break;
    case B4800: text = QStringLiteral("4800"); break;
    case B9600: text = QStringLiteral("9600"); break;
    case B19200: text = QStringLiteral("19200"); break;
    case B38400: text = QStringLiteral("38400"); break;
    case B57600: text = QStringLiteral("57600"); break;
    case B115200: text = QStringLiteral("115200"); break;
    default: text = QStringLiteral("speed code %1").arg(qulonglong(speed)); break;
    }
    if (::cfgetispeed(&line) != speed && ::cfgetispeed(&line) != B0)
        text += QStringLiteral(" (receiving at another speed)");
    text += QLatin1Char(' ');
    switch (line.c_cflag & CSIZE) {
    case CS5: text += QLatin1Char('5'); break;
    case CS6: text += QLatin1Char('6'); break;
    case CS7: text += QLatin1Char('7'); break;
    default: text += QLatin1Char('8'); break;
    }
    text += (line.c_cflag & PARENB) ? ((line.c_cflag & PARODD) ? QLatin1Char('O') : QLatin1Char('E'))
                                    : QLatin1Char('N');
    text += (line.c_cflag & CSTOPB) ? QLatin1Char('2') : QLatin1Char('1');
    const bool raw = !(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) && !(line.c_oflag & OPOST) &&
                     !(line.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP));
    if (raw)
        text += QStringLiteral(", raw");
#ifdef CRTSCTS
    if (line.c_cflag & CRTSCTS)
        text += QStringLiteral(", RTS/CTS");
#endif
    if (line.c_iflag & (IXON | IXOFF))
        text += QStringLiteral(", XON/XOFF");
    return text;
}

void PseudoTerminal::vanish() {
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}
