#include "publish/MqttId.h"

namespace {

constexpr int kMaxLength = 64;

bool allowed(QChar c) {
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_') || c == QLatin1Char('-');
}

} // namespace

QString MqttId::fromDeviceName(const QString& deviceName) {
    QString name = deviceName.trimmed();
    while (name.endsWith(QLatin1Char('/')))
        name.chop(1);
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1).toLower();
    QString id;
    for (const QChar c : name) {
        const QChar kept = allowed(c) ? c : QLatin1Char('_');
        if (kept == QLatin1Char('_') && id.endsWith(QLatin1Char('_')))
            continue; // one "_" for a run of spaces or dots
        id += kept;
    }
    while (id.startsWith(QLatin1Char('_')))
        id.remove(0, 1);
    while (id.endsWith(QLatin1Char('_')))
        id.chop(1);
    id.truncate(kMaxLength);
    return id.isEmpty() ? QStringLiteral("velmora") : id;
}

bool MqttId::isValid(const QString& id) {
    if (id.isEmpty() || id.size() > kMaxLength)
        return false;
    for (const QChar c : id)
        if (!allowed(c))
            return false;
    return true;
}

QString MqttId::stableKey(const QString& deviceName, const QString& byIdName) {
    // The by-id name keeps its interface ending: each port of a multi-port adapter is its own
    // installation.
    return fromDeviceName(byIdName.trimmed().isEmpty() ? deviceName : byIdName);
}

bool MqttId::isValidTopicRoot(const QString& root) {
    if (root.isEmpty() || root.size() > 200 || root.startsWith(QLatin1Char('$')))
        return false;
    for (const QString& level : root.split(QLatin1Char('/'))) {
        if (level.isEmpty())
            return false;
        for (const QChar c : level)
            if (!allowed(c) && c != QLatin1Char('.'))
                return false;
    }
    return true;
}
