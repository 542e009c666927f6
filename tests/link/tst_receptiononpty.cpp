// The link's pacing on the real parts: QSerialPort on a pseudo-terminal, the program clock,
// precise timers, and a real message box shown while a frame is being dispatched.
#include "Hex.h"
#include "MessageBoxAnswerer.h"
#include "PseudoTerminal.h"
#include "core/ControlsState.h"
#include "core/ProgramClock.h"
#include "core/Timer.h"
#include "link/HpuCommands.h"
#include "link/LinkPacing.h"
#include "link/QtSerialPort.h"
#include "link/ReceiveStateMachine.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>

namespace {

const QByteArray kConverter = hexBytes("00 01 10 10 02 0D 30 D4 13 88 AB CD 01 2C 00 C8 00 00 04 3C");
const QByteArray kHpuStatus = hexBytes("00 12 10 07 01 F4 FF 00 00 02 1D");
const QByteArray kPump = hexBytes("12 11 48 02 00 6D");

// The reception and emission of the tool on one adapter. The first converter frame's dispatch
// shows a message box, as a consumer telling of a failure does; the box stays up while
// whileBoxIsUp runs.
struct RealLink : FrameDispatcher {
    explicit RealLink(const QString& device) {
        QObject::connect(&port, &SerialPort::dataReceived, &owner, [this] { reception.SerialConnection1_DataReceived(); });
        QObject::connect(emission, &Timer::timeout, &owner, [this] { emissionPacer.TimerEmissionRS485_Action(); });
        opened = port.open({device, device});
    }
    void converterDataFrame() override {
        ++converterFrames;
        if (converterFrames == 1) {
            QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmora"), QStringLiteral("held"), QMessageBox::Ok);
            box.exec();
        }
        emissionPacer.arm(controls.Textfield_timer_emission, reception.lastByteArrivalUs());
    }
    void hpuStatusFrame() override { ++hpuFrames; }
    void eepromReadAnswer() override {}

    SystemProgramClock clock;
    QtTimerFactory timers;
    QtSerialPort port;
    MonitorState state;
    ControlsState controls;
    RawStreamTrace trace;
    QObject owner;
    Timer* emission = timers.create(QStringLiteral("TimerEmissionRS485"), 10, &owner);
    ReceiveStateMachine machine{state, port, trace, clock, *this};
    ReceptionPacer reception{port, machine, clock};
    EmissionPacer emissionPacer{state, port, trace, *emission, clock};
    bool opened = false;
    int converterFrames = 0;
    int hpuFrames = 0;
};

} // namespace

class TestReceptionOnPty : public QObject {
    Q_OBJECT
private slots:
    // While the box is up the adapter keeps talking: an HPU frame and a converter frame come
    // in, and the port tells of them to no one (it does not report new bytes while their
    // report's handler runs). Once the box is answered, both are decoded at once, with the line
    // quiet again. The command pending since before leaves in neither gap: the first ended
    // while the box was up, and the second frame's arrival is not known. It leaves at the
    // first frame that comes after, and not before its delay.
    void frameDispatchHoldingTheProgramInAMessageBox() {
        PseudoTerminal adapter;
        if (!adapter.isValid())
            QSKIP(qPrintable(QStringLiteral("no pseudo-terminal: ") + adapter.errorString()));
        RealLink link(adapter.devicePath());
        QVERIFY(link.opened);
        HpuCommands::consignePOMPE_HPU(link.state);

        MessageBoxAnswerer answerer;
        bool sentWhileUp = false;
        answerer.whileBoxIsUp = [&] {
            sentWhileUp = adapter.send(kHpuStatus) && adapter.send(kConverter);
            QTest::qWait(300); // the bytes reach the port's buffer; the first gap passes
        };
        QVERIFY(adapter.send(kConverter));
        QTRY_COMPARE(answerer.texts, QStringList{QStringLiteral("held")});
        QVERIFY(sentWhileUp);
        QTRY_COMPARE(link.converterFrames, 2);
        QCOMPARE(link.hpuFrames, 1);
        QCOMPARE(link.port.bytesAvailable(), qint64(0));
        QTest::qWait(300);
        QCOMPARE(adapter.receive(), QByteArray()); // nothing spoken into the line
        QVERIFY(link.state.emissionRequest);

        QElapsedTimer sinceFrame;
        QVERIFY(adapter.send(kConverter));
        sinceFrame.start();
        QByteArray written;
        QTRY_COMPARE((written += adapter.receive()), kPump);
        QVERIFY2(sinceFrame.elapsed() >= 150, qPrintable(QString::number(sinceFrame.elapsed())));
        QVERIFY(!link.state.emissionRequest);
        QCOMPARE(link.converterFrames, 3);
    }
};

QTEST_MAIN(TestReceptionOnPty)
#include "tst_receptiononpty.moc"
