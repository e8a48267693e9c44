// The virtual printer's answer delay, through the program's own transport: each kind of exchange
// takes at least the delay, the answer is the right one, the host sleeps meanwhile instead of
// spinning, and a printer that is slow to answer holds up no other printer.
#include "core/protocol/frame.h"
#include "core/protocol/printerqueries.h"
#include "sim/virtualusb.h"
#include "tests/support/usbfixture.h"

#include <QProcess>
#include <QTest>
#include <atomic>
#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
using vprinter::VirtualPrinter;
using vprinter::VirtualUsb;

namespace {

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// CPU time of the whole process: the host's thread and umockdev's worker thread that plays the
// printer both count.
double processCpuMs()
{
    timespec t = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

enum class Kind { Query, Command, Status };

// One exchange of that kind; its result code.
int exchange(PrinterHandle *handle, Kind kind, QByteArray &answer)
{
    unsigned char buffer[frame::kResultBufferSize] = {};
    switch (kind) {
    case Kind::Query: {
        const int r = GetPrinterInfo(handle, SetInfoType(0x13), buffer);
        answer = QByteArray(reinterpret_cast<const char *>(buffer), 1);
        return r;
    }
    case Kind::Command:
        return SendFrame(handle, frame::build(frame::FrameClass::Set, 0x13, QByteArray(1, '\x05')));
    case Kind::Status: {
        unsigned char word[4] = {};
        int length = 0;
        const int r = CDeviceIOOpera::ReadFromControlEndpoint(handle, word, length);
        answer = QByteArray(reinterpret_cast<const char *>(word), length);
        return r;
    }
    }
    return -1;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestLatency : public QObject
{
    Q_OBJECT

private slots:
    void exchangeWaitsWithoutSpinning_data();
    void exchangeWaitsWithoutSpinning();
    void slowPrinterHoldsUpNoOther();
    void everyAnswerArrivesUnderLoad();
    void answerLaterThanTheTimeOutIsDiscarded();
    void launcherOption_data();
    void launcherOption();
};

void TestLatency::exchangeWaitsWithoutSpinning_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<int>("latencyMs");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("query, no delay") << Kind::Query << 0 << QByteArray("\x0C");
    QTest::newRow("query") << Kind::Query << 300 << QByteArray("\x0C");
    QTest::newRow("set command") << Kind::Command << 300 << QByteArray();
    QTest::newRow("status request") << Kind::Status << 300 << QByteArray("\x04\x00\x00\x00", 4);
}

void TestLatency::exchangeWaitsWithoutSpinning()
{
    QFETCH(Kind, kind);
    QFETCH(int, latencyMs);
    QFETCH(QByteArray, answer);
    VirtualUsb usb;
    VirtualPrinter &printer = usb.addPrinter(0x0411, "RM-310", 1);
    printer.setSetting(0x13, {0x0C});
    printer.setStatusWord(0x04);
    printer.setLatency(std::chrono::milliseconds(latencyMs));
    QCOMPARE(printer.latency().count(), latencyMs);
    QByteArray got;
    double wallMs = 0;
    double cpuMs = 0;
    {
        FoundPrinter found(1);
        QCOMPARE(found.result, 0);
        const double cpuBefore = processCpuMs();
        const Clock::time_point start = Clock::now();
        QCOMPARE(exchange(&found.handle, kind, got), 0);
        wallMs = milliseconds(Clock::now() - start);
        cpuMs = processCpuMs() - cpuBefore;
    }
    QCOMPARE(got.toHex(' '), answer.toHex(' '));
    if (kind == Kind::Command)
        QCOMPARE(printer.setting(0x13), vprinter::Bytes{0x05});
    // Never earlier than the printer answers.
    QVERIFY2(wallMs >= latencyMs, qPrintable(QString::number(wallMs)));
    // A host that polled the endpoint while it waited would burn about the whole delay.
    if (latencyMs > 0)
        QVERIFY2(
            cpuMs < latencyMs / 3.0,
            qPrintable(QStringLiteral("%1 ms CPU for a %2 ms wait").arg(cpuMs).arg(latencyMs)));
    QVERIFY(usb.violations().empty());
}

// The slow printer's answer is held back, not slept on: umockdev's one worker thread serves every
// device, so a sleeping handler would stop the fast printer too.
void TestLatency::slowPrinterHoldsUpNoOther()
{
    VirtualUsb usb;
    VirtualPrinter &slow = usb.addPrinter(0x0411, "RM-310", 1);
    VirtualPrinter &fast = usb.addPrinter(0x0411, "RM-310", 2);
    slow.setSetting(0x13, {0x01});
    fast.setSetting(0x13, {0x02});
    slow.setLatency(2500ms);
    std::atomic<bool> slowDone{false};
    int slowResult = -1;
    QByteArray slowAnswer;
    std::thread slowThread([&] {
        FoundPrinter found(1);
        slowResult = found.result == 0 ? exchange(&found.handle, Kind::Query, slowAnswer) : -1;
        slowDone = true;
    });
    // The slow query is on the wire before the fast printer is asked.
    QTRY_VERIFY_WITH_TIMEOUT(!slow.bulkOutLog().empty(), kEventTimeoutMs);
    {
        FoundPrinter found(2);
        QCOMPARE(found.result, 0);
        QByteArray fastAnswer;
        QCOMPARE(exchange(&found.handle, Kind::Query, fastAnswer), 0);
        QCOMPARE(fastAnswer, QByteArray("\x02"));
    }
    QVERIFY2(!slowDone, "the fast printer waited for the slow one's answer");
    slowThread.join();
    QCOMPARE(slowResult, 0);
    QCOMPARE(slowAnswer, QByteArray("\x01"));
    QVERIFY(usb.violations().empty());
}

// Many short delays on many printers at once: every answer falls due while the device is busy
// with something at some point, and still arrives (none waits out the host's time-out).
void TestLatency::everyAnswerArrivesUnderLoad()
{
    constexpr int kPrinters = 8;
    constexpr int kQueries = 300;
    VirtualUsb usb;
    for (int port = 1; port <= kPrinters; ++port) {
        VirtualPrinter &printer = usb.addPrinter(0x0411, "RM-310", port);
        printer.setSetting(0x13, {std::uint8_t(port)});
        printer.setLatency(std::chrono::milliseconds(1 + port % 3));
    }
    std::atomic<int> wrong{0};
    std::mutex firstWrongMutex;
    QString firstWrong; // which exchange went wrong first, and how
    std::vector<std::thread> threads;
    for (int port = 1; port <= kPrinters; ++port) {
        threads.emplace_back([port, &wrong, &firstWrongMutex, &firstWrong] {
            FoundPrinter found(port);
            for (int i = 0; i < kQueries; ++i) {
                QByteArray answer;
                const int r =
                    found.result != 0 ? found.result : exchange(&found.handle, Kind::Query, answer);
                if (r == 0 && answer == QByteArray(1, char(port)))
                    continue;
                std::lock_guard<std::mutex> lock(firstWrongMutex);
                if (wrong++ == 0)
                    firstWrong = QStringLiteral("port %1, query %2: result %3, answer %4")
                                     .arg(port)
                                     .arg(i)
                                     .arg(r)
                                     .arg(QString::fromLatin1(answer.toHex(' ')));
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    QVERIFY2(wrong.load() == 0, qPrintable(firstWrong));
    for (VirtualPrinter *printer : usb.devices())
        QCOMPARE(printer->state().discardedUrbs, 0);
    QVERIFY(usb.violations().empty());
}

// An answer later than the host's time-out: the transfer is cancelled as one in flight, not
// reaped as if it had arrived.
void TestLatency::answerLaterThanTheTimeOutIsDiscarded()
{
    VirtualUsb usb;
    VirtualPrinter &printer = usb.addPrinter(0x0411, "RM-310", 1);
    printer.setLatency(std::chrono::milliseconds(CDeviceIOOpera::kQueryTimeoutMs + 2000));
    {
        FoundPrinter found(1);
        QCOMPARE(found.result, 0);
        QByteArray answer;
        QCOMPARE(exchange(&found.handle, Kind::Query, answer), CDeviceIOOpera::kTransferFailed);
    }
    QCOMPARE(printer.state().discardedUrbs, 1);
    QVERIFY(usb.violations().empty());
}

void TestLatency::launcherOption_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::newRow("per printer") << QStringList{"--printer", "0411:1:RM-310", "--latency",
                                                "25",        "--printer",     "1401:3:VS-608K"}
                                 << 0
                                 << "(1-1)\nvirtual-printers: Orbeck VS-608K (5C1E:1401) on "
                                    "port 3 (1-3), answering in 25 ms\n";
    QTest::newRow("default printers")
        << QStringList{"--latency", "7"} << 0 << "(1-1), answering in 7 ms\n";
    QTest::newRow("not a number") << QStringList{"--latency", "7x"} << 2
                                  << "virtual-printers: bad latency: 7x\n";
    QTest::newRow("negative") << QStringList{"--latency", "-1"} << 2
                              << "virtual-printers: bad latency: -1\n";
}

void TestLatency::launcherOption()
{
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QProcess launcher;
    launcher.start(VIRTUAL_PRINTERS, options + QStringList{"--", "true"});
    QVERIFY(launcher.waitForFinished(kEventTimeoutMs));
    QCOMPARE(launcher.exitCode(), exitCode);
    const QString err = QString::fromLatin1(launcher.readAllStandardError());
    QVERIFY2(err.contains(said), qPrintable(err));
}

QTEST_GUILESS_MAIN(TestLatency)
#include "tst_latency.moc"
