#include "SimOptions.h"

#include <QCommandLineParser>

namespace {

bool parseFaultKinds(const QString& text, QVector<Sim::FaultKind>& kinds) {
    kinds.clear();
    const QStringList names = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& raw : names) {
        const QString name = raw.trimmed().toLower();
        if (name == QLatin1String("junk"))
            kinds.append(Sim::FaultKind::Junk);
        else if (name == QLatin1String("stray"))
            kinds.append(Sim::FaultKind::StrayByte);
        else if (name == QLatin1String("checksum"))
            kinds.append(Sim::FaultKind::BadChecksum);
        else if (name == QLatin1String("silence"))
            kinds.append(Sim::FaultKind::Silence);
        else
            return false;
    }
    return !kinds.isEmpty();
}

} // namespace

QString parseSimRun(const QStringList& arguments, SimRun& run) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated hydro installation on a pseudo-terminal: a power converter and an HPU talking on the "
        "RS485 bus as the real devices do. Connect the tool with: velmora --port DEVICE"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption protocol(QStringLiteral("protocol"),
                                      QStringLiteral("Converter protocol version: V1 or V2 (default V2)."),
                                      QStringLiteral("version"), QStringLiteral("V2"));
    const QCommandLineOption converterPeriod(
        QStringLiteral("converter-period"),
        QStringLiteral("Converter data frame period in ms (default 200)."), QStringLiteral("ms"),
        QStringLiteral("200"));
    const QCommandLineOption hpuPeriod(QStringLiteral("hpu-period"),
                                       QStringLiteral("HPU status frame period in ms (default 500)."),
                                       QStringLiteral("ms"), QStringLiteral("500"));
    const QCommandLineOption faultRate(
        QStringLiteral("fault-rate"),
        QStringLiteral("Share of frames hit by a line fault, 0 to 1 (default 0)."), QStringLiteral("rate"),
        QStringLiteral("0"));
    const QCommandLineOption faults(QStringLiteral("faults"),
                                    QStringLiteral("Fault kinds drawn from, comma separated: junk, stray, "
                                                   "checksum, silence (default all)."),
                                    QStringLiteral("kinds"), QStringLiteral("junk,stray,checksum,silence"));
    const QCommandLineOption silence(
        QStringLiteral("silence"),
        QStringLiteral("How long a silenced device stays quiet, in seconds (default 5)."),
        QStringLiteral("seconds"), QStringLiteral("5"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed of the fault generator; the same seed gives the same "
                                                 "faults (default 1)."),
                                  QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption delivery(
        QStringLiteral("delivery"),
        QStringLiteral("How the bytes reach the tool: byte (each byte as its stop bit ends, as a plain "
                       "UART may pass them on) or frame (each frame at once when its last byte ends, as "
                       "a USB adapter hands over a packet when the line goes quiet). Default byte."),
        QStringLiteral("unit"), QStringLiteral("byte"));
    const QCommandLineOption duration(QStringLiteral("duration"),
                                      QStringLiteral("Stop after this many seconds (default 0: run until "
                                                     "interrupted)."),
                                      QStringLiteral("seconds"), QStringLiteral("0"));
    const QCommandLineOption replay(
        QStringLiteral("replay"),
        QStringLiteral(
            "Serves the received bytes of a capture (velmora --record) instead of the simulated "
            "installation, with their recorded timing, from the moment a program opens the device."),
        QStringLiteral("FILE"));
    const QCommandLineOption speed(QStringLiteral("speed"),
                                   QStringLiteral("Plays a replay X times faster (default 1, 0.01 to 1000)."),
                                   QStringLiteral("X"), QStringLiteral("1"));
    parser.addOptions({protocol, converterPeriod, hpuPeriod, faultRate, faults, silence, seed, delivery,
                       duration, replay, speed});
    if (!parser.parse(arguments))
        return parser.errorText();
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("Unexpected argument: %1").arg(parser.positionalArguments().first());

    const QString version = parser.value(protocol).toUpper();
    if (version == QLatin1String("V1"))
        run.settings.protocol = Sim::ProtocolVersion::V1;
    else if (version == QLatin1String("V2"))
        run.settings.protocol = Sim::ProtocolVersion::V2;
    else
        return QStringLiteral("--protocol must be V1 or V2, not %1").arg(parser.value(protocol));

    bool ok = false;
    run.settings.converterPeriodMs = parser.value(converterPeriod).toInt(&ok);
    if (!ok || run.settings.converterPeriodMs < 30)
        return QStringLiteral("--converter-period must be a whole number of milliseconds, at least 30");
    run.settings.hpuPeriodMs = parser.value(hpuPeriod).toInt(&ok);
    if (!ok || run.settings.hpuPeriodMs < 20)
        return QStringLiteral("--hpu-period must be a whole number of milliseconds, at least 20");
    run.settings.faults.rate = parser.value(faultRate).toDouble(&ok);
    if (!ok || run.settings.faults.rate < 0.0 || run.settings.faults.rate > 1.0)
        return QStringLiteral("--fault-rate must be a number from 0 to 1");
    if (!parseFaultKinds(parser.value(faults), run.settings.faults.kinds))
        return QStringLiteral("--faults takes junk, stray, checksum and silence, comma separated");
    const double silenceSeconds = parser.value(silence).toDouble(&ok);
    if (!ok || silenceSeconds < 0.0 || silenceSeconds > 3600.0)
        return QStringLiteral("--silence must be a number of seconds from 0 to 3600");
    run.settings.faults.silenceMs = int(silenceSeconds * 1000.0);
    run.settings.faults.seed = parser.value(seed).toUInt(&ok);
    if (!ok)
        return QStringLiteral("--seed must be a whole number");
    const QString unit = parser.value(delivery).toLower();
    if (unit == QLatin1String("byte"))
        run.settings.delivery = Sim::ByteDelivery::EachByte;
    else if (unit == QLatin1String("frame"))
        run.settings.delivery = Sim::ByteDelivery::WholeFrame;
    else
        return QStringLiteral("--delivery must be byte or frame, not %1").arg(parser.value(delivery));
    run.durationSeconds = parser.value(duration).toDouble(&ok);
    if (!ok || run.durationSeconds < 0.0)
        return QStringLiteral("--duration must be a number of seconds, 0 or more");
    run.replayPath = parser.value(replay);
    run.replaySpeed = parser.value(speed).toDouble(&ok);
    if (!ok || run.replaySpeed < 0.01 || run.replaySpeed > 1000.0)
        return QStringLiteral("--speed must be a number from 0.01 to 1000, not %1").arg(parser.value(speed));
    return QString();
}
