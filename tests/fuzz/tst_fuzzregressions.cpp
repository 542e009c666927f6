// Every input the fuzzer ever found breaking the receive path (fuzz/regressions), and the
// seed corpus it starts from (fuzz/corpus), replayed through the same entry function in the
// ordinary build: the invariants they once broke must hold.
#include "ReceiveFuzzInput.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TestFuzzRegressions : public QObject {
    Q_OBJECT
private slots:
    void replay_data() {
        QTest::addColumn<QString>("path");
        int rows = 0;
        for (const char* folder : {"regressions", "corpus"}) {
            const QDir dir(QStringLiteral(VELMORA_FUZZ_DIR "/") + QLatin1String(folder));
            const QStringList names = dir.entryList(QDir::Files, QDir::Name);
            for (const QString& name : names) {
                if (name.endsWith(QLatin1String(".md")))
                    continue; // the folder's notes
                const QString path = dir.filePath(name);
                QTest::newRow(qPrintable(QLatin1String(folder) + QLatin1Char('/') + name)) << path;
                ++rows;
            }
        }
        QVERIFY2(rows > 0, "no corpus found under " VELMORA_FUZZ_DIR);
    }

    void replay() {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        const QString violation = ReceiveFuzz::run(file.readAll());
        QVERIFY2(violation.isEmpty(), qPrintable(violation));
    }
};

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "tst_fuzzregressions.moc"
