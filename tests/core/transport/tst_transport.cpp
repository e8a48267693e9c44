// The USB transport through the real libusb against virtual printers.
#include "core/protocol/frame.h"
#include "core/protocol/printerqueries.h"
#include "core/settings/printsettings.h"
#include "tests/support/usbtestcase.h"

#include <libusb.h>

#include <QElapsedTimer>
#include <QTest>

using vprinter::Bytes;
using vprinter::Faults;
using vprinter::VirtualPrinter;
using vprinter::VirtualUsb;

namespace {

const Bytes kQuery = {0x1B, 0xFF, 0xFE, 0x02, 0x00, 0x00, 0x1B, 0xFE, 0xFF};

int swap(PrinterHandle *handle, const Bytes &request, unsigned char *reply, int &length)
{
    return CDeviceIOOpera::PrinterDataIOSwap(handle, request.data(), int(request.size()), reply,
                                             length);
}

int button(PrinterHandle *handle, const Bytes &request)
{
    int unused = 0;
    return CDeviceIOOpera::PrinterDataIOButton(handle, request.data(), int(request.size()), nullptr,
                                               unused);
}

// A print-settings read on a model with the print method: 11 queries. Its write sends a set
// command for each of the same codes.
const std::vector<SetInfoType> kPrintSettings = printsettings::readOrder(true);
constexpr int kDownloadChunks = 3;
constexpr int kChunkSize = 1024;

// How many exchanges one click of that kind makes on its record.
int exchangesOf(const QString &click)
{
    if (click == "read" || click == "write")
        return int(kPrintSettings.size());
    return click == "download" ? kDownloadChunks : 1;
}

// Exchange i of a click: a page read's query, a page write's set command, a maintenance button,
// or a chunk of a download stream (the last one short). Returns the transport's result.
int clickExchange(PrinterHandle *handle, const QString &click, int i)
{
    if (click == "read") {
        unsigned char result[frame::kResultBufferSize];
        return GetPrinterInfo(handle, kPrintSettings[i], result);
    }
    if (click == "write")
        return SendFrame(handle, frame::build(frame::FrameClass::Set, uint8_t(kPrintSettings[i]),
                                              QByteArray(1, char(i))));
    if (click == "button")
        return SetPrinterStatusButton(handle, POWER_SELF_TEST_PAGE);
    const int size = i == kDownloadChunks - 1 ? kChunkSize / 2 : kChunkSize;
    return button(handle, Bytes(std::size_t(size), uint8_t(0xA0 + i)));
}

} // namespace

class TestTransport : public UsbTestCase
{
    Q_OBJECT
private slots:

    void findsPrinterByPort_data();
    void findsPrinterByPort();
    void samePortOnTwoHubsIsAddressedByPath_data();
    void samePortOnTwoHubsIsAddressedByPath();
    void endpointsOfThePrinterInterface();

    void queryExchangeReturnsPaddedReply_data();
    void queryExchangeReturnsPaddedReply();
    void nullReplyBufferOnlyWrites();
    void commandExchangeWritesOnly();
    void exchangeFailures_data();
    void exchangeFailures();
    void queryTimesOutAfterThreeSeconds();
    void unpluggedMidTransferFails();
    void kernelDriverHandedOverOncePerClick_data();
    void kernelDriverHandedOverOncePerClick();
    void kernelDriverGivenBackOnEveryWayOut_data();
    void kernelDriverGivenBackOnEveryWayOut();

    void statusRequest_data();
    void statusRequest();
    void generalVendorRequest();
};

void TestTransport::findsPrinterByPort_data()
{
    QTest::addColumn<int>("vendor");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("askedPort");
    QTest::addColumn<int>("expected");
    QTest::newRow("printer at the port") << 0x5C1E << 1 << 1 << 0;
    QTest::newRow("printer at port 12") << 0x5C1E << 12 << 12 << 0;
    QTest::newRow("printer at another port") << 0x5C1E << 2 << 1 << -1;
    QTest::newRow("another vendor at the port") << 0x1234 << 1 << 1 << -1;
    QTest::newRow("no devices at all") << 0 << 0 << 1 << -1;
}

void TestTransport::findsPrinterByPort()
{
    QFETCH(int, vendor);
    QFETCH(int, port);
    QFETCH(int, askedPort);
    QFETCH(int, expected);
    if (vendor != 0)
        usb->addDevice(uint16_t(vendor), 0x0411, "1-" + std::to_string(port), "RM-310");

    PrinterHandle handle;
    QCOMPARE(CDeviceIOOpera::GetPrinterHandle(askedPort, &handle), expected);
    if (expected != 0) {
        // A failed lookup leaves nothing behind to close.
        QVERIFY(!handle.context);
        QVERIFY(!handle.pHandle);
        return;
    }
    QVERIFY(handle.context);
    QVERIFY(handle.pHandle);
    QCOMPARE(handle.vendorId, 0x5C1E);
    QCOMPARE(handle.productId, 0x0411);
    CDeviceIOOpera::ClosePrinterHandle(&handle);
    QVERIFY(!handle.context);
    QVERIFY(!handle.pHandle);
    QCOMPARE(handle.state, 0);
}

void TestTransport::samePortOnTwoHubsIsAddressedByPath_data()
{
    QTest::addColumn<QString>("path"); // empty: by the port number both share
    QTest::addColumn<int>("expectedResult");
    QTest::addColumn<int>("reached"); // index of the printer the query reaches; -1 none
    QTest::newRow("port number 4 names both") << QString() << int(CDeviceIOOpera::kAmbiguous) << -1;
    QTest::newRow("first by its path") << "1-2.4" << 0 << 0;
    QTest::newRow("second by its path") << "1-3.4" << 0 << 1;
    QTest::newRow("a path nobody is on") << "1-4" << -1 << -1;
}

void TestTransport::samePortOnTwoHubsIsAddressedByPath()
{
    QFETCH(QString, path);
    QFETCH(int, expectedResult);
    QFETCH(int, reached);
    VirtualPrinter *printers[2] = {};
    int i = 0;
    for (const char *name : {"1-2.4", "1-3.4"}) {
        vprinter::PrinterConfig config;
        config.sysfsName = name;
        printers[i++] = &usb->addPrinter(config);
    }
    std::unique_ptr<FoundPrinter> printer =
        path.isEmpty() ? std::make_unique<FoundPrinter>(4)
                       : std::make_unique<FoundPrinter>(*PrinterIdentity::parse(path));
    QCOMPARE(printer->result, expectedResult);
    if (expectedResult == 0) {
        unsigned char reply[CDeviceIOOpera::kReplyLength];
        int length = 0;
        QCOMPARE(swap(&printer->handle, kQuery, reply, length), 0);
    } else {
        QVERIFY(!printer->handle.pHandle);
        QVERIFY(!printer->handle.context);
    }
    for (int p = 0; p < 2; ++p)
        QCOMPARE(printers[p]->bulkOutLog().size(), std::size_t(p == reached ? 1 : 0));
}

void TestTransport::endpointsOfThePrinterInterface()
{
    usb->addPrinter(0x0411, "RM-310", 1);
    FoundPrinter printer(1);
    QCOMPARE(printer.result, 0);
    int interfaceNumber = -1;
    unsigned char in = 0;
    unsigned char out = 0;
    QCOMPARE(CDeviceIOOpera::GetUSBDevEndPoint(printer.handle.pHandle, 0, interfaceNumber, in, out),
             0);
    QCOMPARE(interfaceNumber, 0);
    QVERIFY(in & LIBUSB_ENDPOINT_IN);
    QVERIFY(!(out & LIBUSB_ENDPOINT_IN));
    QVERIFY(out != 0);

    // No interface has string index 5: the outputs keep what the caller put in.
    interfaceNumber = -1;
    in = out = 0x77;
    QCOMPARE(CDeviceIOOpera::GetUSBDevEndPoint(printer.handle.pHandle, 5, interfaceNumber, in, out),
             0);
    QCOMPARE(interfaceNumber, -1);
    QCOMPARE(in, 0x77);
    QCOMPARE(out, 0x77);
}

void TestTransport::queryExchangeReturnsPaddedReply_data()
{
    QTest::addColumn<int>("cutTo"); // -1: the whole frame
    QTest::newRow("whole frame") << -1;
    QTest::newRow("4-byte answer") << 4;
    QTest::newRow("zero-length answer") << 0;
}

void TestTransport::queryExchangeReturnsPaddedReply()
{
    QFETCH(int, cutTo);
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    vp.setSetting(0x00, {0x03});
    Faults faults;
    faults.cutRepliesTo = cutTo;
    vp.setFaults(faults);

    FoundPrinter printer(1);
    QCOMPARE(printer.result, 0);
    unsigned char reply[CDeviceIOOpera::kReplyLength];
    memset(reply, 0xAA, sizeof reply);
    int length = -1;
    QCOMPARE(swap(&printer.handle, kQuery, reply, length), 0);

    // What arrived, zeros after it, and the count of what arrived: judging it is for the caller.
    const Bytes frame = {0x1B, 0xFF, 0xFE, 0x02, 0x00, 0x01, 0x03, 0x1B, 0xFE, 0xFF};
    const std::size_t received = cutTo < 0 ? frame.size() : std::size_t(cutTo);
    QCOMPARE(length, int(received));
    QCOMPARE(QByteArray(reinterpret_cast<char *>(reply), int(received)),
             toQByteArray(Bytes(frame.begin(), frame.begin() + long(received))));
    for (std::size_t i = received; i < sizeof reply; ++i)
        QCOMPARE(int(reply[i]), 0);
    QCOMPARE(receivedFrames(vp), QStringList{"1B FF FE 02 00 00 1B FE FF"});
}

void TestTransport::nullReplyBufferOnlyWrites()
{
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    FoundPrinter printer(1);
    int length = -7;
    QCOMPARE(swap(&printer.handle, kQuery, nullptr, length), 0);
    QCOMPARE(length, -7);
    QCOMPARE(vp.bulkOutLog().size(), std::size_t(1));
    int bulkIns = 0;
    for (const auto &record : vp.transferLog())
        bulkIns += record.kind == vprinter::TransferRecord::Kind::BulkIn;
    QCOMPARE(bulkIns, 0);
}

void TestTransport::commandExchangeWritesOnly()
{
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    FoundPrinter printer(1);
    const Bytes set = {0x1B, 0xFF, 0xFE, 0x01, 0x00, 0x01, 0x05, 0x1B, 0xFE, 0xFF};
    QCOMPARE(button(&printer.handle, set), 0);
    QCOMPARE(button(&printer.handle, {}), 0); // the download stream may end in an empty write
    QCOMPARE(vp.bulkOutLog(), (std::vector<Bytes>{set, {}}));
    QCOMPARE(vp.setting(0x00), Bytes{0x05});
}

void TestTransport::exchangeFailures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("query");
    QTest::addColumn<int>("expected");
    for (bool query : {true, false}) {
        const char *kind = query ? "query" : "command";
        QTest::addRow("%s: open refused", kind) << "refuseOpen" << query << 5;
        QTest::addRow("%s: claim refused", kind) << "refuseClaim" << query << 5;
        QTest::addRow("%s: write fails", kind) << "failNextWrite" << query << 4;
        QTest::addRow("%s: no record", kind) << "nullRecord" << query << 4;
        QTest::addRow("%s: record without device", kind) << "nullDevice" << query << 4;
    }
}

void TestTransport::exchangeFailures()
{
    QFETCH(QString, fault);
    QFETCH(bool, query);
    QFETCH(int, expected);
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    vp.setFaults(faultNamed(fault));

    FoundPrinter printer(1);
    QCOMPARE(printer.result, 0);
    PrinterHandle empty;
    PrinterHandle *handle = &printer.handle;
    if (fault == "nullRecord")
        handle = nullptr;
    else if (fault == "nullDevice")
        handle = &empty;

    unsigned char reply[CDeviceIOOpera::kReplyLength];
    int length = 0;
    const int result = query ? swap(handle, kQuery, reply, length) : button(handle, kQuery);
    QCOMPARE(result, expected);
    QVERIFY(vp.bulkOutLog().empty());

    const vprinter::DeviceState state = vp.state(kEventTimeoutMs);
    QCOMPARE(state.openFds, 0);
    QVERIFY(!state.claimed || fault == "refuseClaim");
}

void TestTransport::queryTimesOutAfterThreeSeconds()
{
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    Faults faults;
    faults.neverAnswer = true;
    vp.setFaults(faults);
    FoundPrinter printer(1);
    unsigned char reply[CDeviceIOOpera::kReplyLength];
    int length = 0;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(swap(&printer.handle, kQuery, reply, length), 4);
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 2900 && elapsed < 6000, qPrintable(QString::number(elapsed)));
    QCOMPARE(vp.state().discardedUrbs, 1);
}

void TestTransport::unpluggedMidTransferFails()
{
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    Faults faults;
    faults.unplugAfterWrites = 1;
    vp.setFaults(faults);
    FoundPrinter printer(1);
    unsigned char reply[CDeviceIOOpera::kReplyLength];
    int length = 0;
    QCOMPARE(swap(&printer.handle, kQuery, reply, length), 4);
    // Nothing can be reached any more; the handle still closes cleanly.
    QVERIFY(swap(&printer.handle, kQuery, reply, length) != 0);
    QCOMPARE(FoundPrinter(1).result, -1);
}

void TestTransport::kernelDriverHandedOverOncePerClick_data()
{
    QTest::addColumn<QString>("click");
    QTest::addColumn<int>("interfaceClass");
    QTest::addColumn<int>("boundAgainBefore"); // the exchange before which another program binds
                                               // the driver again; -1 none
    QTest::addColumn<int>("detaches");         // and as many re-binds
    QTest::addColumn<int>("driverQueries");
    QTest::addColumn<QString>("driverAfter");
    // Asked for in the first exchange and again by the detach, then no more.
    QTest::newRow("page read, 11 queries") << "read" << 0x07 << -1 << 1 << 2 << "usblp";
    QTest::newRow("page write, 11 set commands") << "write" << 0x07 << -1 << 1 << 2 << "usblp";
    QTest::newRow("maintenance button") << "button" << 0x07 << -1 << 1 << 2 << "usblp";
    QTest::newRow("download, 3 chunks") << "download" << 0x07 << -1 << 1 << 2 << "usblp";
    // The claim finds the interface busy: the driver is looked for and moved aside once more.
    QTest::newRow("page read, driver bound again before query 6")
        << "read" << 0x07 << 5 << 2 << 4 << "usblp";
    QTest::newRow("download, driver bound again before chunk 3")
        << "download" << 0x07 << 2 << 2 << 4 << "usblp";
    // No driver to move aside, and none is bound to it afterwards; every exchange looks.
    QTest::newRow("page read, printer without a driver") << "read" << 0xFF << -1 << 0 << 11 << "";
}

void TestTransport::kernelDriverHandedOverOncePerClick()
{
    QFETCH(QString, click);
    QFETCH(int, interfaceClass);
    QFETCH(int, boundAgainBefore);
    QFETCH(int, detaches);
    QFETCH(int, driverQueries);
    QFETCH(QString, driverAfter);
    vprinter::PrinterConfig config;
    config.interfaceClass = uint8_t(interfaceClass);
    VirtualPrinter &vp = usb->addPrinter(config);
    const int exchanges = exchangesOf(click);
    const int boundElsewhere = boundAgainBefore >= 0 ? 1 : 0;
    {
        FoundPrinter printer(1);
        QCOMPARE(printer.result, 0);
        for (int i = 0; i < exchanges; ++i) {
            if (i == boundAgainBefore) {
                // Another program's click ends and gives the interface back to the driver.
                FoundPrinter other(1);
                libusb_device_handle *device = nullptr;
                QCOMPARE(libusb_open(other.handle.pHandle, &device), 0);
                QCOMPARE(libusb_attach_kernel_driver(device, 0), 0);
                libusb_close(device);
                QCOMPARE(vp.state().kernelDriver, std::string("usblp"));
            }
            QCOMPARE(clickExchange(&printer.handle, click, i), 0);
        }
        // Between the exchanges of the click the driver stays aside.
        const vprinter::DeviceState during = vp.state();
        QCOMPARE(during.kernelDriver, std::string());
        QCOMPARE(during.driverRebinds, boundElsewhere);
    }
    const vprinter::DeviceState after = vp.state();
    QCOMPARE(after.driverDetaches, detaches);
    QCOMPARE(after.driverRebinds, detaches);
    QCOMPARE(after.driverQueries, driverQueries);
    QCOMPARE(QString::fromStdString(after.kernelDriver), driverAfter);
    // Every exchange still opens, claims, releases and closes; giving the driver back opens once,
    // as does the other program.
    QCOMPARE(after.claims, exchanges);
    QCOMPARE(after.releases, exchanges);
    QCOMPARE(after.opens, exchanges + std::min(detaches, 1) + boundElsewhere);
    QCOMPARE(int(vp.bulkOutLog().size()), exchanges);
}

void TestTransport::kernelDriverGivenBackOnEveryWayOut_data()
{
    QTest::addColumn<QString>("click");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("at"); // the exchange from which the fault is on
    QTest::addColumn<int>("handOvers");
    QTest::newRow("read: first write fails") << "read"
                                             << "failNextWrite" << 0 << 2;
    QTest::newRow("read: write 4 fails") << "read"
                                         << "failNextWrite" << 3 << 2;
    QTest::newRow("read: claimed elsewhere from query 6") << "read"
                                                          << "refuseClaim" << 5 << 2;
    QTest::newRow("read: open refused from query 6") << "read"
                                                     << "refuseOpen" << 5 << 2;
    QTest::newRow("read: claimed elsewhere from the start") << "read"
                                                            << "refuseClaim" << 0 << 0;
    QTest::newRow("button: claimed elsewhere") << "button"
                                               << "refuseClaim" << 0 << 0;
    // Nothing to give back to a printer that is gone: one detach, no re-bind.
    QTest::newRow("read: unplugged during query 6") << "read"
                                                    << "unplug" << 5 << 1;
    QTest::newRow("download: unplugged during chunk 2") << "download"
                                                        << "unplug" << 1 << 1;
}

void TestTransport::kernelDriverGivenBackOnEveryWayOut()
{
    QFETCH(QString, click);
    QFETCH(QString, fault);
    QFETCH(int, at);
    QFETCH(int, handOvers);
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    {
        FoundPrinter printer(1);
        QCOMPARE(printer.result, 0);
        for (int i = 0; i < exchangesOf(click); ++i) {
            if (i == at) {
                Faults faults = faultNamed(fault);
                if (fault == "unplug")
                    faults.unplugAfterWrites = 0; // cut off the very next transfer
                vp.setFaults(faults);
            }
            const int result = clickExchange(&printer.handle, click, i);
            QVERIFY2((result == 0) == (i < at || (fault == "failNextWrite" && i > at)),
                     qPrintable(QString("exchange %1 gave %2").arg(i).arg(result)));
        }
        vp.setFaults({}); // the other program lets go before the click ends
    }
    const vprinter::DeviceState state = vp.state(kEventTimeoutMs);
    QVERIFY(!state.claimed);
    QCOMPARE(state.openFds, 0);
    QCOMPARE(state.driverHandOvers(), handOvers);
    QCOMPARE(state.unplugged, fault == "unplug");
    if (!state.unplugged)
        QCOMPARE(state.kernelDriver, std::string("usblp"));
}

void TestTransport::statusRequest_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("expectedLength");
    QTest::addColumn<QByteArray>("expectedBytes");
    QTest::newRow("four bytes") << "" << 0 << 4 << QByteArray::fromHex("02400100");
    QTest::newRow("two bytes") << "shortStatus" << 0 << 2 << QByteArray::fromHex("02400000");
    QTest::newRow("stalled") << "stallStatus" << int(LIBUSB_ERROR_PIPE) << -1
                             << QByteArray::fromHex("00000000");
    QTest::newRow("open refused") << "refuseOpen" << int(LIBUSB_ERROR_ACCESS) << -1
                                  << QByteArray::fromHex("00000000");
    QTest::newRow("no record") << "nullRecord" << -1 << -1 << QByteArray::fromHex("00000000");
}

void TestTransport::statusRequest()
{
    QFETCH(QString, fault);
    QFETCH(int, expected);
    QFETCH(int, expectedLength);
    QFETCH(QByteArray, expectedBytes);
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    vp.setStatusWord(0x00014002);
    vp.setFaults(faultNamed(fault));

    FoundPrinter printer(1);
    unsigned char reply[4] = {};
    int length = -1;
    const int result = CDeviceIOOpera::ReadFromControlEndpoint(
        fault == "nullRecord" ? nullptr : &printer.handle, reply, length);
    QCOMPARE(result, expected);
    QCOMPARE(length, expectedLength);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(reply), 4), expectedBytes);
    // The status request needs no interface: nothing is claimed and no frame is sent.
    QCOMPARE(vp.state().claims, 0);
    QVERIFY(vp.bulkOutLog().empty());
}

void TestTransport::generalVendorRequest()
{
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    vp.setStatusWord(0x11223344);
    FoundPrinter printer(1);
    const char statusRequest[5] = {char(0xFF), 0, 0, 0, 0};
    char reply[255] = {};
    int length = 0;
    QCOMPARE(
        CDeviceIOOpera::PrinterDeviceIOControl(&printer.handle, statusRequest, 0, reply, length),
        0);
    QCOMPARE(length, 4);
    QCOMPARE(QByteArray(reply, 4), QByteArray::fromHex("44332211"));

    Faults faults;
    faults.stallStatus = true;
    vp.setFaults(faults);
    QCOMPARE(
        CDeviceIOOpera::PrinterDeviceIOControl(&printer.handle, statusRequest, 0, reply, length),
        -1);
    QCOMPARE(CDeviceIOOpera::PrinterDeviceIOControl(nullptr, statusRequest, 0, reply, length), -1);
}

QTEST_GUILESS_MAIN(TestTransport)
#include "tst_transport.moc"
