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

    void mistakesEndTheRun_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("unknown option") << QStringList{"velmora", "--bogus"} << 2;
        QTest::newRow("port without a path") << QStringList{"velmora", "--port"} << 2;
        QTest::newRow("help") << QStringList{"velmora", "--help"} << 0;
    }

    void mistakesEndTheRun() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const StartupOptions options = parseCommandLine(arguments);
        QVERIFY(options.exit);
        QCOMPARE(options.exitCode, exitCode);
        QVERIFY(options.message.contains(QStringLiteral("--port")));
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
