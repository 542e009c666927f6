#include "core/WholeFileWriter.h"

#include "Files.h"
#include "Unprivileged.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

// The whole-file writer on real files and folders: the file appears whole or the old one stays.
class TestWholeFileWriter : public QObject {
    Q_OBJECT
private slots:
    void replacesTheOldFileWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("total.txt"));
        writeFile(path, "old and longer than the new\n");
        QCOMPARE(WholeFileWriter::writeFile(path, "new\n"), QString());
        QCOMPARE(readAll(path), QByteArray("new\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("total.txt")});
    }

    // A write stopped before its commit (a cancel, a failed step) leaves the old file and no
    // temporary file behind.
    void anUncommittedWriteLeavesTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("export.csv"));
        writeFile(path, "old\n");
        {
            WholeFileWriter file(path);
            QVERIFY(file.open());
            QVERIFY(file.write("first half of the new"));
        }
        QCOMPARE(readAll(path), QByteArray("old\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("export.csv")});
    }

    void failuresAreToldAndLeaveNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing folder") << QStringLiteral("gone/total.txt");
        QTest::newRow("a file in the folder's place") << QStringLiteral("plain/total.txt");
        QTest::newRow("a folder in the file's place") << QStringLiteral("folder");
    }
    void failuresAreToldAndLeaveNothing() {
        QFETCH(QString, name);
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("plain")), "not a folder");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const QString path = dir.filePath(name);
        WholeFileWriter file(path);
        QVERIFY(!file.open());
        QVERIFY(!file.errorString().isEmpty());
        QVERIFY(!WholeFileWriter::writeFile(path, "text\n").isEmpty());
        QCOMPARE(readAll(dir.filePath(QStringLiteral("plain"))), QByteArray("not a folder"));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("plain")});
    }

    // A writable file in a folder that may not be written is written in place; a new file
    // there cannot be made.
    void aReadOnlyFolderTakesOnlyItsWritableFiles() {
        VELMORA_RUN_UNPRIVILEGED();
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("install"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("install")));
        const QString existing = folder + QStringLiteral("/setting.txt");
        writeFile(existing, "old\n");
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(folder,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        });
        QCOMPARE(WholeFileWriter::writeFile(existing, "new\n"), QString());
        QCOMPARE(readAll(existing), QByteArray("new\n"));
        QVERIFY(!WholeFileWriter::writeFile(folder + QStringLiteral("/other.txt"), "new\n").isEmpty());
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("setting.txt")});
    }

    // A full disk often refuses only when the buffer is flushed: that is a failure too, told,
    // never a success, and the file written in place is not removed for it. A link to
    // /dev/full, whose folder this user cannot write, stands for a full disk under a file
    // written in place.
    void aFullDiskAtTheFlushIsAFailure() {
        if (!QFileInfo(QStringLiteral("/dev/full")).isWritable())
            QSKIP("No writable /dev/full on this system.");
        VELMORA_RUN_UNPRIVILEGED(); // root could write beside /dev/full
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("total.txt"));
        QVERIFY(QFile::link(QStringLiteral("/dev/full"), path));
        QVERIFY(!WholeFileWriter::writeFile(path, "kWh=1.5\n").isEmpty());
        QVERIFY(QFileInfo(path).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestWholeFileWriter)
#include "tst_wholefilewriter.moc"
