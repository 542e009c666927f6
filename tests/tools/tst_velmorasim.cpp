// velmora-sim as a program: its options, and the pseudo-terminal it serves the line on.
#include "Hex.h"
#include "link/Frame.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTest>

namespace {

// Starts velmora-sim and waits for it to tell how to connect the tool.
class RunningSimulator {
public:
    explicit RunningSimulator(const QStringList& arguments) {
        process.start(QStringLiteral(VELMORA_SIM_PATH), arguments);
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && devicePath.isEmpty()) {
            if (!process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
                break;
            output += process.readAllStandardOutput();
            const auto match = QRegularExpression(QStringLiteral("Connect with: velmora --port (\\S+)\\n"))
                                   .match(QString::fromLocal8Bit(output));
            if (match.hasMatch())
                devicePath = match.captured(1);
        }
    }
    ~RunningSimulator() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    // Reads the simulator's printout until the pattern shows or the time is up.
    QRegularExpressionMatch waitForOutput(const QRegularExpression& pattern, int timeoutMs) {
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            output += process.readAllStandardOutput();
            const auto match = pattern.match(QString::fromLocal8Bit(output));
            if (match.hasMatch() || deadline.hasExpired())
                return match;
            process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        }
    }

    QProcess process;
    QByteArray output;
    QString devicePath;
};

// The first valid converter frame in the buffer, or nothing.
QByteArray firstConverterFrame(const QByteArray& line, int from = 0) {
    for (int at = int(line.indexOf(hexBytes("00 01 10 10"), from)); at >= 0 && at + 20 <= line.size();
         at = int(line.indexOf(hexBytes("00 01 10 10"), at + 1))) {
        const QByteArray frame = line.mid(at, 20);
        if (Frame::withChecksum(frame.left(18)) == frame)
            return frame;
    }
    return {};
}

} // namespace

class TestVelmoraSim : public QObject {
    Q_OBJECT
private slots:
    void helpListsTheOptions();
    void badOptionsAreRefused_data();
    void badOptionsAreRefused();
    void servesTheLineOnAPseudoTerminal_data();
    void servesTheLineOnAPseudoTerminal();
    void aTimedRunEndsOnItsOwn();
};

void TestVelmoraSim::helpListsTheOptions() {
    QProcess process;
    process.start(QStringLiteral(VELMORA_SIM_PATH), {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
    const QString help = QString::fromLocal8Bit(process.readAllStandardOutput());
    for (const char* option : {"--protocol", "--converter-period", "--hpu-period", "--fault-rate", "--faults",
                               "--silence", "--seed", "--delivery", "--duration"})
        QVERIFY2(help.contains(QLatin1String(option)), option);
}

void TestVelmoraSim::badOptionsAreRefused_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("complaint");
    QTest::newRow("unknown protocol") << QStringList{"--protocol", "V3"} << "--protocol must be V1 or V2";
    QTest::newRow("fault rate above 1") << QStringList{"--fault-rate", "1.5"} << "--fault-rate";
    QTest::newRow("unknown fault kind") << QStringList{"--faults", "junk,smoke"} << "--faults";
    QTest::newRow("converter period not a number")
        << QStringList{"--converter-period", "fast"} << "--converter-period";
    QTest::newRow("unknown delivery")
        << QStringList{"--delivery", "packet"} << "--delivery must be byte or frame";
    QTest::newRow("unknown option") << QStringList{"--baud", "19200"} << "baud";
}

void TestVelmoraSim::badOptionsAreRefused() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, complaint);
    QProcess process;
    process.start(QStringLiteral(VELMORA_SIM_PATH), arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(QString::fromLocal8Bit(process.readAllStandardError()).contains(complaint));
}

void TestVelmoraSim::servesTheLineOnAPseudoTerminal_data() {
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<int>(
        "outputVoltageLow"); // raw range of the output voltage by which the tool tells versions apart
    QTest::addColumn<int>("outputVoltageHigh");
    QTest::addColumn<QString>("delivery");
    QTest::newRow("V2, byte by byte") << "V2" << 7000 << 35000 << "byte";
    QTest::newRow("V1, by frame") << "V1" << 70 << 350 << "frame";
}

void TestVelmoraSim::servesTheLineOnAPseudoTerminal() {
    QFETCH(QString, protocol);
    QFETCH(int, outputVoltageLow);
    QFETCH(int, outputVoltageHigh);
    QFETCH(QString, delivery);
    RunningSimulator sim({QStringLiteral("--protocol"), protocol, QStringLiteral("--delivery"), delivery,
                          QStringLiteral("--duration"), QStringLiteral("30")});
    QVERIFY2(!sim.devicePath.isEmpty(), sim.output.constData());
    QVERIFY(sim.output.contains("Device: " + sim.devicePath.toLocal8Bit() + '\n'));

    QSerialPort port;
    port.setPortName(sim.devicePath);
    port.setBaudRate(QSerialPort::Baud9600);
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));

    // Two whole converter frames, with the tool's checksum.
    QByteArray line;
    QByteArray frames[2];
    QDeadlineTimer deadline(5000);
    while (frames[1].isEmpty() && !deadline.hasExpired()) {
        if (port.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            line += port.readAll();
        frames[0] = firstConverterFrame(line);
        if (!frames[0].isEmpty())
            frames[1] = firstConverterFrame(line, int(line.indexOf(frames[0])) + 20);
    }
    QVERIFY2(!frames[1].isEmpty(), qPrintable(hexString(line)));
    for (const QByteArray& frame : frames) {
        const int outputVoltage = (quint8(frame[6]) << 8) | quint8(frame[7]);
        QVERIFY(outputVoltage > outputVoltageLow && outputVoltage < outputVoltageHigh);
    }

    // The other way: a command written on the device reaches the simulator, which prints it.
    port.write(hexBytes("12 11 48 02 00 6D"));
    QVERIFY(port.waitForBytesWritten(2000));
    const auto printed = sim.waitForOutput(
        QRegularExpression(QStringLiteral("\\+(\\d+) ms after converter frame: 12 11 48 02 00 6D  pump")),
        5000);
    QVERIFY2(printed.hasMatch(), sim.output.constData());
    QVERIFY(printed.captured(1).toInt() < 300);
}

void TestVelmoraSim::aTimedRunEndsOnItsOwn() {
    QProcess process;
    process.start(QStringLiteral(VELMORA_SIM_PATH), {QStringLiteral("--duration"), QStringLiteral("0.5")});
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(process.readAllStandardOutput().contains("end of run, 0 commands received"));
}

QTEST_GUILESS_MAIN(TestVelmoraSim)
#include "tst_velmorasim.moc"
