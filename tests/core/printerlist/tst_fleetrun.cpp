// Running one job on many virtual printers side by side: how many run at once, that each job
// speaks only to its own printer, how a stop ends the jobs between two steps, and the order of
// the results.
#include "core/printers/fleetrun.h"
#include "core/protocol/frame.h"
#include "core/protocol/printerqueries.h"
#include "tests/support/usbfixture.h"

#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

using namespace std::chrono_literals;
using vprinter::VirtualPrinter;
using vprinter::VirtualUsb;

namespace {

// What the test job did on one printer.
struct Sent {
    int steps = 0; // steps written whole
    int failures = 0;
    bool hadHandle = false;
};

// A step of the test job: two set frames that carry the printer's port, the pair a page write
// would be. A stop lands between two steps.
int writeStep(PrinterHandle *handle, int port, int step)
{
    const int first =
        SendFrame(handle, frame::build(frame::FrameClass::Set, 0x13, QByteArray(1, char(port))));
    const int second =
        SendFrame(handle, frame::build(frame::FrameClass::Set, 0x14, QByteArray(1, char(step))));
    return first != 0 ? first : second;
}

QString stepName(int step) { return QStringLiteral("step %1").arg(step); }

fleet::Run::Job stepsJob(int steps)
{
    return [steps](fleet::Worker &worker) -> std::any {
        Sent sent;
        sent.hadHandle = worker.handle() != nullptr;
        if (!worker.handle())
            return sent;
        for (int step = 1; step <= steps; ++step) {
            if (worker.stopRequested()) {
                worker.stoppedBefore(stepName(step));
                break;
            }
            worker.progress(stepName(step), step - 1, steps);
            if (writeStep(worker.handle(), worker.printer().port, step) != 0)
                ++sent.failures;
            else
                ++sent.steps;
        }
        return sent;
    };
}

// The frames a printer received, each checked to carry its own port: a frame of another printer
// reaching it fails the test.
int ownFrames(VirtualPrinter &printer)
{
    const std::vector<vprinter::Bytes> log = printer.bulkOutLog();
    for (std::size_t i = 0; i < log.size(); i += 2) {
        if (log[i].size() != 10 || log[i][6] != printer.port())
            return -1;
    }
    return int(log.size());
}

} // namespace

class TestFleetRun : public QObject
{
    Q_OBJECT

private slots:
    void runsUpToItsNumberAtOnce_data();
    void runsUpToItsNumberAtOnce();
    void stopEndsJobsBetweenSteps();
    void printerNotReadyGetsNoRecord();
    void addedAfterStopIsNotStarted();
    void pathOrder_data();
    void pathOrder();
};

void TestFleetRun::runsUpToItsNumberAtOnce_data()
{
    QTest::addColumn<int>("printers");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<int>("maxJobs");
    QTest::addColumn<int>("expectedAtOnce");
    QTest::newRow("eight, three at once") << 8 << 3 << 3 << 3;
    QTest::newRow("eight, all at once") << 8 << 8 << 8 << 8;
    QTest::newRow("four, one at a time") << 4 << 1 << 1 << 1;
    QTest::newRow("more than allowed asked for") << 3 << 50 << 8 << 3;
    QTest::newRow("none asked for: one") << 2 << 0 << 1 << 1;
}

void TestFleetRun::runsUpToItsNumberAtOnce()
{
    QFETCH(int, printers);
    QFETCH(int, jobs);
    QFETCH(int, maxJobs);
    QFETCH(int, expectedAtOnce);
    VirtualUsb usb;
    // Ports 2, 4, ... 16: "1-10" and beyond come after "1-8" in the path order, not before "1-2".
    std::vector<VirtualPrinter *> attached;
    for (int i = 0; i < printers; ++i) {
        attached.push_back(&usb.addPrinter(0x1401, "VS-608K", 2 * (i + 1)));
        attached.back()->setLatency(5ms);
    }
    // The first `expectedAtOnce` jobs wait for each other: with fewer at once they would wait
    // for ever (and the test time out); the count inside shows no more ever run.
    std::mutex mutex;
    std::condition_variable allIn;
    int entered = 0;
    int inside = 0;
    int mostInside = 0;
    const fleet::Run::Job steps = stepsJob(3);
    fleet::Run run(
        [&](fleet::Worker &worker) -> std::any {
            {
                std::unique_lock<std::mutex> lock(mutex);
                ++entered;
                mostInside = std::max(mostInside, ++inside);
                allIn.notify_all();
                allIn.wait_for(lock, std::chrono::milliseconds(kEventTimeoutMs),
                               [&] { return entered >= expectedAtOnce; });
            }
            std::any sent = steps(worker);
            std::lock_guard<std::mutex> lock(mutex);
            --inside;
            return sent;
        },
        jobs);
    QCOMPARE(run.maxJobs(), maxJobs);
    QSignalSpy finished(&run, &fleet::Run::finished);
    for (const ListedPrinter &p : listSupportedPrinters())
        run.add(p);
    QCOMPARE(run.count(), printers);
    run.waitUntilIdle();
    QCOMPARE(finished.count(), printers);
    QCOMPARE(mostInside, expectedAtOnce);
    QCOMPARE(entered, printers);

    const std::vector<int> order = run.byPath();
    for (int i = 0; i < printers; ++i) {
        const fleet::PrinterRun &r = run.at(order[std::size_t(i)]);
        QCOMPARE(r.printer.identity.path(), QStringLiteral("1-%1").arg(2 * (i + 1)));
        QCOMPARE(int(r.state), int(fleet::State::Done));
        const Sent sent = std::any_cast<Sent>(r.result);
        QVERIFY(sent.hadHandle);
        QCOMPARE(sent.steps, 3);
        QCOMPARE(sent.failures, 0);
        QCOMPARE(ownFrames(*attached[std::size_t(i)]), 6);
    }
    QVERIFY(usb.violations().empty());
}

// Stopped while the first printers run: each finishes the step in flight and stops before the
// next (its received frames are whole steps), the printers not started received nothing.
void TestFleetRun::stopEndsJobsBetweenSteps()
{
    VirtualUsb usb;
    std::vector<VirtualPrinter *> attached;
    for (int port = 1; port <= 5; ++port) {
        attached.push_back(&usb.addPrinter(0x1401, "VS-608K", port));
        attached.back()->setLatency(20ms);
    }
    constexpr int kSteps = 20;
    fleet::Run run(stepsJob(kSteps), 2);
    QSignalSpy finished(&run, &fleet::Run::finished);
    connect(&run, &fleet::Run::progressed, &run, [&](int, const QString &, int done, int) {
        if (done >= 2)
            run.stop();
    });
    for (const ListedPrinter &p : listSupportedPrinters())
        run.add(p);
    run.waitUntilIdle();
    QVERIFY(run.isStopping());
    QCOMPARE(finished.count(), 5);

    int stopped = 0;
    int notStarted = 0;
    for (int index : run.byPath()) {
        const fleet::PrinterRun &r = run.at(index);
        VirtualPrinter &printer = *attached[std::size_t(r.printer.port - 1)];
        const int frames = ownFrames(printer);
        if (r.state == fleet::State::NotStarted) {
            ++notStarted;
            QCOMPARE(frames, 0);
            QVERIFY(!r.result.has_value());
            continue;
        }
        QCOMPARE(int(r.state), int(fleet::State::Stopped));
        ++stopped;
        const Sent sent = std::any_cast<Sent>(r.result);
        QCOMPARE(frames, 2 * sent.steps); // no step half written
        QVERIFY(sent.steps < kSteps);
        QCOMPARE(r.stoppedBefore, stepName(sent.steps + 1));
    }
    QCOMPARE(stopped, 2);
    QCOMPARE(notStarted, 3);
    QVERIFY(usb.violations().empty());
}

// A printer pulled out after it was listed: its job runs without a record and says so; the
// others are not held up.
void TestFleetRun::printerNotReadyGetsNoRecord()
{
    VirtualUsb usb;
    usb.addPrinter(0x1401, "VS-608K", 1);
    VirtualPrinter &gone = usb.addPrinter(0x1401, "VS-608K", 2);
    const QList<ListedPrinter> listed = listSupportedPrinters();
    QCOMPARE(listed.size(), 2);
    usb.unplug(gone);
    fleet::Run run(stepsJob(1), 2);
    for (const ListedPrinter &p : listed)
        run.add(p);
    run.waitUntilIdle();
    const std::vector<int> order = run.byPath();
    QVERIFY(std::any_cast<Sent>(run.at(order[0]).result).hadHandle);
    QCOMPARE(std::any_cast<Sent>(run.at(order[0]).result).steps, 1);
    QVERIFY(!std::any_cast<Sent>(run.at(order[1]).result).hadHandle);
    QCOMPARE(int(run.at(order[1]).state), int(fleet::State::Done));
    QVERIFY(usb.violations().empty());
}

void TestFleetRun::addedAfterStopIsNotStarted()
{
    VirtualUsb usb;
    VirtualPrinter &printer = usb.addPrinter(0x1401, "VS-608K", 1);
    fleet::Run run(stepsJob(1), 1);
    QSignalSpy finished(&run, &fleet::Run::finished);
    run.stop();
    const int index = run.add(listSupportedPrinters().value(0));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, kEventTimeoutMs);
    QCOMPARE(int(run.at(index).state), int(fleet::State::NotStarted));
    QVERIFY(printer.bulkOutLog().empty());
}

void TestFleetRun::pathOrder_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("ports as numbers") << "1-2"
                                      << "1-10";
    QTest::newRow("hub after its port") << "1-2"
                                        << "1-2.1";
    QTest::newRow("behind a hub") << "1-2.4"
                                  << "1-3";
    QTest::newRow("bus first") << "1-9"
                               << "2-1";
}

void TestFleetRun::pathOrder()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    const PrinterIdentity a = *PrinterIdentity::parse(first);
    const PrinterIdentity b = *PrinterIdentity::parse(second);
    QVERIFY(fleet::pathBefore(a, b));
    QVERIFY(!fleet::pathBefore(b, a));
    QVERIFY(!fleet::pathBefore(a, a));
}

QTEST_GUILESS_MAIN(TestFleetRun)
#include "tst_fleetrun.moc"
