#include "publish/BrokerUrl.h"

#include <QUrl>

QString BrokerUrl::parse(const QString& text, BrokerUrl& url) {
    const QUrl parsed(text.trimmed(), QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")))
        return QStringLiteral("the broker address must read mqtt://[user@]host[:port] or "
                              "mqtts://[user@]host[:port], not \"%1\"")
            .arg(text);
    if (parsed.host().isEmpty())
        return QStringLiteral("the broker address \"%1\" names no host").arg(text);
    if (!parsed.password().isEmpty())
        return QStringLiteral("the broker address must not hold the password: put it in a file named by "
                              "--mqtt-password-file");
    if (!parsed.path().isEmpty() && parsed.path() != QLatin1String("/"))
        return QStringLiteral("the broker address \"%1\" has a path; only [user@]host[:port] is allowed")
            .arg(text);
    if (parsed.hasQuery() || parsed.hasFragment())
        return QStringLiteral("the broker address \"%1\" has a query or fragment; only [user@]host[:port] is "
                              "allowed")
            .arg(text);
    BrokerUrl result;
    result.tls = scheme == QLatin1String("mqtts");
    result.user = parsed.userName();
    result.host = parsed.host();
    result.port = parsed.port(result.tls ? 8883 : 1883);
    if (result.port <= 0 || result.port > 65535)
        return QStringLiteral("the broker port must be from 1 to 65535");
    url = result;
    return QString();
}

QString BrokerUrl::display() const {
    const QString h = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return QStringLiteral("%1://%2:%3")
        .arg(tls ? QStringLiteral("mqtts") : QStringLiteral("mqtt"), h)
        .arg(port);
}
