#include "app/CommandLine.h"

#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void portsAreAddedInOrder() {
        const StartupOptions options =
            parseCommandLine({"velmora", "--port", "/dev/pts/3", "--port=/tmp/ttyV0"});
        QVERIFY(!options.exit);
        QCOMPARE(options.extraPorts, (QStringList{"/dev/pts/3", "/tmp/ttyV0"}));
    }

    void noArgumentsNoExtraPorts() {
        const StartupOptions options = parseCommandLine({"velmora"});
        QVERIFY(!options.exit);
        QVERIFY(options.extraPorts.isEmpty());
    }

    void captureOptions() {
        const StartupOptions plain = parseCommandLine({"velmora"});
        QVERIFY(plain.recordPath.isEmpty());
        QCOMPARE(plain.recordLimit, qint64(1) << 30);
        QVERIFY(plain.replayPath.isEmpty());
        QCOMPARE(plain.replaySpeed, 1.0);

        const StartupOptions options = parseCommandLine({"velmora", "--record", "/tmp/bus.txt", "--record-limit",
                                                         "500M", "--replay", "old.txt", "--speed", "10"});
        QVERIFY2(!options.exit, qPrintable(options.message));
        QCOMPARE(options.recordPath, QStringLiteral("/tmp/bus.txt"));
        QCOMPARE(options.recordLimit, qint64(500) << 20);
        QCOMPARE(options.replayPath, QStringLiteral("old.txt"));
        QCOMPARE(options.replaySpeed, 10.0);
        QCOMPARE(parseCommandLine({"velmora", "--record-limit", "64k"}).recordLimit, qint64(65536));
        QCOMPARE(parseCommandLine({"velmora", "--record-limit", "1GB"}).recordLimit, qint64(1) << 30);
    }

    // A mistake is named on the first line, above the usage.
    void mistakesEndTheRun_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("unknown option") << QStringList{"velmora", "--bogus"} << 2 << "Unknown option 'bogus'.";
        QTest::newRow("port without a path")
            << QStringList{"velmora", "--port"} << 2 << "Missing value after '--port'.";
        QTest::newRow("help") << QStringList{"velmora", "--help"} << 0
                              << QStringLiteral("Usage: %1 [options]").arg(QCoreApplication::applicationFilePath());
        QTest::newRow("record limit not a size") << QStringList{"velmora", "--record-limit", "lots"} << 2
                                                 << "--record-limit must be a size from 1K to 1G, such as 500M, not lots";
        QTest::newRow("record limit above 1 GiB") << QStringList{"velmora", "--record-limit", "2G"} << 2
                                                  << "--record-limit must be a size from 1K to 1G, such as 500M, not 2G";
        QTest::newRow("record limit too small") << QStringList{"velmora", "--record-limit", "100"} << 2
                                                << "--record-limit must be a size from 1K to 1G, such as 500M, not 100";
        QTest::newRow("speed zero") << QStringList{"velmora", "--replay", "c.txt", "--speed", "0"} << 2
                                    << "--speed must be a number from 0.01 to 1000, not 0";
        QTest::newRow("speed not a number") << QStringList{"velmora", "--speed", "fast"} << 2
                                            << "--speed must be a number from 0.01 to 1000, not fast";
    }

    void mistakesEndTheRun() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, firstLine);
        const StartupOptions options = parseCommandLine(arguments);
        QVERIFY(options.exit);
        QCOMPARE(options.exitCode, exitCode);
        QCOMPARE(options.message.section(QLatin1Char('\n'), 0, 0), firstLine);
        QVERIFY(options.message.contains(QStringLiteral("--port <PATH>"))); // the usage follows
    }

    // The shipped tool offers only what a user may use: the benchmark's switches (one of them
    // loads the HPU with reads nobody asked for) are refused, and the help does not name them.
    void measuringSwitchesAreNotOffered_data() {
        QTest::addColumn<QString>("option");
        QTest::newRow("connect") << "--connect";
        QTest::newRow("keep-requesting") << "--keep-requesting";
        QTest::newRow("measure-startup") << "--measure-startup";
    }
    void measuringSwitchesAreNotOffered() {
        QFETCH(QString, option);
        const StartupOptions refused = parseCommandLine({"velmora", option});
        QVERIFY(refused.exit);
        QCOMPARE(refused.exitCode, 2);
        const StartupOptions help = parseCommandLine({"velmora", "--help"});
        QVERIFY(!help.message.contains(option));
        QVERIFY(help.message.contains(QStringLiteral("--demo")));
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
