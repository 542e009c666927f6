#include "publish/MqttClientId.h"

#include <QCryptographicHash>

namespace {

bool plain(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
}

} // namespace

QString MqttClientId::defaultFor(const QString& hostName, const QString& id) {
    QString name =
        QStringLiteral("velmora-") + hostName.section(QLatin1Char('.'), 0, 0) + QLatin1Char('-') + id;
    for (QChar& c : name)
        if (!plain(c))
            c = QLatin1Char('-');
    if (name.size() <= kMaxLength)
        return name;
    const QByteArray hash = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex();
    constexpr int kHashLength = 6;
    return name.left(kMaxLength - kHashLength - 1) + QLatin1Char('-') +
           QString::fromLatin1(hash.left(kHashLength));
}

bool MqttClientId::isValid(const QString& clientId) {
    if (clientId.isEmpty() || clientId.size() > 128)
        return false;
    for (const QChar c : clientId)
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7f)
            return false;
    return true;
}
