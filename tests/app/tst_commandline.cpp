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
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
