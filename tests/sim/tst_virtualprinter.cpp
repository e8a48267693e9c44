// The virtual printer as plain libusb sees it: enumeration, identity, the frame exchange, the
// fault switches and the device-side checks. Uses bare libusb calls, not the program's transport.
#include "sim/virtualusb.h"
#include "tests/support/usbfixture.h"

#include <QProcess>
#include <QTest>
#include <cstring>
#include <libusb.h>
#include <optional>
#include <sys/resource.h>

using vprinter::Bytes;
using vprinter::Faults;
using vprinter::VirtualPrinter;
using vprinter::VirtualUsb;

Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(std::vector<Bytes>)

namespace {

constexpr unsigned char kOut = 0x01;
constexpr unsigned char kIn = 0x81;

Bytes frame(std::uint8_t frameClass, std::uint8_t code, const Bytes &payload = {})
{
    return vprinter::PrinterModel::buildFrame(frameClass, code, payload);
}

QByteArray hex(const Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()))
        .toHex(' ')
        .toUpper();
}

// One libusb context for one test step; opens the device at a port like the program does.
struct Session {
    Session() { QVERIFY(libusb_init(&context) == 0); }
    ~Session()
    {
        if (handle)
            libusb_close(handle);
        libusb_exit(context);
    }
    // libusb's result of opening the device at `port`, or LIBUSB_ERROR_NOT_FOUND.
    int open(int port)
    {
        libusb_device **list = nullptr;
        const ssize_t count = libusb_get_device_list(context, &list);
        int result = LIBUSB_ERROR_NOT_FOUND;
        for (ssize_t i = 0; i < count; ++i) {
            if (libusb_get_port_number(list[i]) == port)
                result = libusb_open(list[i], &handle);
        }
        libusb_free_device_list(list, 1);
        return result;
    }
    int write(const Bytes &data, int timeoutMs = 3000)
    {
        int done = 0;
        const int r = libusb_bulk_transfer(handle, kOut, const_cast<unsigned char *>(data.data()),
                                           int(data.size()), &done, timeoutMs);
        return r == 0 && done != int(data.size()) ? LIBUSB_ERROR_IO : r;
    }
    int read(Bytes &reply, int timeoutMs = 3000)
    {
        reply.assign(264, 0);
        int done = 0;
        const int r = libusb_bulk_transfer(handle, kIn, reply.data(), 264, &done, timeoutMs);
        reply.resize(std::size_t(done));
        return r;
    }
    int status(Bytes &word)
    {
        word.assign(4, 0);
        const int r = libusb_control_transfer(handle, 0xC1, 0xFF, 0, 0, word.data(), 4, 5000);
        word.resize(std::size_t(r < 0 ? 0 : r));
        return r;
    }
    void close()
    {
        libusb_close(handle);
        handle = nullptr;
    }

    libusb_context *context = nullptr;
    libusb_device_handle *handle = nullptr;
};

// What a query exchange met: the first step that failed and libusb's result there.
struct Outcome {
    QString failedStep;
    int error = 0;
    Bytes reply;
    Bytes status;
};

// The program's query exchange in bare libusb, plus a status read: open, auto-detach claim,
// write, read, release, status request, close; stops at the first failure, cleaning up.
Outcome exchange(int port, const Bytes &request, int readTimeoutMs)
{
    Outcome outcome;
    Session session;
    auto failed = [&](const char *step, int r) {
        if (r < 0 && outcome.failedStep.isEmpty()) {
            outcome.failedStep = step;
            outcome.error = r;
        }
        return r < 0;
    };
    if (failed("open", session.open(port)))
        return outcome;
    libusb_set_auto_detach_kernel_driver(session.handle, 1);
    if (!failed("claim", libusb_claim_interface(session.handle, 0))) {
        if (!failed("write", session.write(request)))
            failed("read", session.read(outcome.reply, readTimeoutMs));
        libusb_release_interface(session.handle, 0);
    }
    if (outcome.failedStep.isEmpty())
        failed("status", session.status(outcome.status));
    return outcome;
}

// Run by the launcher test as its command: lists the printers its libusb sees (vendor:product,
// port, product string), asks each for its print speed and exits with 3.
int listPrinters()
{
    libusb_context *context = nullptr;
    if (libusb_init(&context) != 0)
        return 1;
    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor;
        libusb_device_handle *handle = nullptr;
        unsigned char text[256] = {};
        // Hubs the printers sit behind are listed too; only the printers are of interest.
        if (libusb_get_device_descriptor(list[i], &descriptor) != 0 ||
            descriptor.idVendor != 0x5C1E || libusb_open(list[i], &handle) != 0)
            continue;
        libusb_get_string_descriptor_ascii(handle, descriptor.iProduct, text, sizeof text);
        libusb_set_auto_detach_kernel_driver(handle, 1);
        if (libusb_claim_interface(handle, 0) == 0) {
            Bytes query = frame(0x02, 0x00);
            Bytes reply(264);
            int done = 0;
            libusb_bulk_transfer(handle, kOut, query.data(), int(query.size()), &done, 3000);
            libusb_bulk_transfer(handle, kIn, reply.data(), int(reply.size()), &done, 3000);
            libusb_release_interface(handle, 0);
        }
        libusb_close(handle);
        std::printf("%04x:%04x %d %s\n", descriptor.idVendor, descriptor.idProduct,
                    libusb_get_port_number(list[i]), reinterpret_cast<char *>(text));
    }
    libusb_free_device_list(list, 1);
    libusb_exit(context);
    std::fflush(stdout);
    return 3;
}

} // namespace

class TestVirtualPrinter : public QObject
{
    Q_OBJECT

private slots:
    void init() { usb.emplace(); }
    void cleanup() { usb.reset(); }

    void listsDeviceWithIdentityAndPort_data();
    void listsDeviceWithIdentityAndPort();
    void answersQueriesFromItsSettings_data();
    void answersQueriesFromItsSettings();
    void logsEveryBulkOutExactly();
    void faultsGiveTheirLibusbResults_data();
    void faultsGiveTheirLibusbResults();
    void unpluggedPrinterIsGone();
    void faultsForOneExchange_data();
    void faultsForOneExchange();
    void deviceChecksCatchTransportMisuse_data();
    void deviceChecksCatchTransportMisuse();
    void autoDetachClaimReattachesUsblp();
    void waitingReadDoesNotSpin();
    void launcherAttachesPrintersToTheCommand_data();
    void launcherAttachesPrintersToTheCommand();

private:
    std::optional<VirtualUsb> usb;
};

void TestVirtualPrinter::listsDeviceWithIdentityAndPort_data()
{
    QTest::addColumn<QString>("sysfsName");
    QTest::addColumn<int>("vendor");
    QTest::addColumn<int>("product");
    QTest::addColumn<bool>("productReadable");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("productString"); // empty: reading it fails

    QTest::newRow("port 1") << "1-1" << 0x5C1E << 0x0411 << true << 1 << "RM-310";
    QTest::newRow("port 12") << "1-12" << 0x5C1E << 0x1401 << true << 12 << "VS-608K";
    QTest::newRow("behind a hub") << "1-2.4" << 0x5C1E << 0x0601 << true << 4 << "HJ-WK650";
    QTest::newRow("other vendor") << "1-3" << 0x1234 << 0x0411 << true << 3 << "RM-310";
    QTest::newRow("product unreadable") << "1-5" << 0x5C1E << 0x0412 << false << 5 << "";
}

void TestVirtualPrinter::listsDeviceWithIdentityAndPort()
{
    QFETCH(QString, sysfsName);
    QFETCH(int, vendor);
    QFETCH(int, product);
    QFETCH(bool, productReadable);
    QFETCH(int, port);
    QFETCH(QString, productString);

    vprinter::PrinterConfig config;
    config.sysfsName = sysfsName.toStdString();
    config.identity.vendorId = std::uint16_t(vendor);
    config.identity.productId = std::uint16_t(product);
    config.identity.product = productString.isEmpty() ? "hidden" : productString.toStdString();
    config.identity.productReadable = productReadable;
    usb->addPrinter(config);

    Session session;
    libusb_device **list = nullptr;
    // Behind a hub, the hub is on the bus too.
    const ssize_t count = sysfsName.count('.') + 1;
    QCOMPARE(libusb_get_device_list(session.context, &list), count);
    libusb_device *device = nullptr;
    libusb_device_descriptor descriptor;
    for (ssize_t i = 0; i < count; ++i) {
        QCOMPARE(libusb_get_device_descriptor(list[i], &descriptor), 0);
        if (descriptor.idProduct == product) {
            device = list[i];
            break;
        }
    }
    QVERIFY(device);
    const int listedPort = libusb_get_port_number(device);
    uint8_t path[7] = {};
    const int depth = libusb_get_port_numbers(device, path, sizeof path);
    QStringList ports;
    for (int i = 0; i < depth; ++i)
        ports << QString::number(path[i]);
    libusb_free_device_list(list, 1);
    QCOMPARE(ports.join('.'), sysfsName.mid(sysfsName.indexOf('-') + 1));
    QCOMPARE(int(descriptor.idVendor), vendor);
    QCOMPARE(int(descriptor.idProduct), product);
    QCOMPARE(listedPort, port);

    QCOMPARE(session.open(port), 0);
    unsigned char text[256] = {};
    const int length =
        libusb_get_string_descriptor_ascii(session.handle, descriptor.iProduct, text, sizeof text);
    if (productString.isEmpty())
        QCOMPARE(length, int(LIBUSB_ERROR_PIPE));
    else
        QCOMPARE(QString::fromLatin1(reinterpret_cast<char *>(text), length), productString);
    session.close();
    verifyNoViolations(*usb);
}

void TestVirtualPrinter::answersQueriesFromItsSettings_data()
{
    QTest::addColumn<std::vector<Bytes>>("commands"); // written before the query, no reply
    QTest::addColumn<Bytes>("query");
    QTest::addColumn<Bytes>("reply");

    QTest::newRow("factory print speed")
        << std::vector<Bytes>{} << frame(0x02, 0x00)
        << Bytes{0x1B, 0xFF, 0xFE, 0x02, 0x00, 0x01, 0x02, 0x1B, 0xFE, 0xFF};
    QTest::newRow("density written, read back") << std::vector<Bytes>{frame(0x01, 0x13, {0x0C})}
                                                << frame(0x02, 0x13) << frame(0x02, 0x13, {0x0C});
    QTest::newRow("label gap written, read back")
        << std::vector<Bytes>{frame(0x01, 0x19, {0x28, 0x00})} << frame(0x02, 0x19)
        << frame(0x02, 0x19, {0x28, 0x00});
    QTest::newRow("class 00 version") << std::vector<Bytes>{} << frame(0x00, 0x04)
                                      << frame(0x00, 0x04,
                                               Bytes{'V', '2', '.', '3', '.', '1', ' ', '2', '0',
                                                     '2', '4', '0', '3', '1', '5', 0});
    QTest::newRow("class 00 resolution and width")
        << std::vector<Bytes>{} << frame(0x00, 0x0B) << frame(0x00, 0x0B, {0xCB, 0x00, 0x40, 0x02});
    QTest::newRow("button before query is not answered")
        << std::vector<Bytes>{frame(0x00, 0x06)} << frame(0x02, 0x2F) << frame(0x02, 0x2F, {0x00});
    QTest::newRow("unknown code: empty payload")
        << std::vector<Bytes>{} << frame(0x02, 0x77) << frame(0x02, 0x77);
}

void TestVirtualPrinter::answersQueriesFromItsSettings()
{
    QFETCH(std::vector<Bytes>, commands);
    QFETCH(Bytes, query);
    QFETCH(Bytes, reply);

    usb->addPrinter(0x0411, "RM-310", 1);
    Session session;
    QCOMPARE(session.open(1), 0);
    libusb_set_auto_detach_kernel_driver(session.handle, 1);
    QCOMPARE(libusb_claim_interface(session.handle, 0), 0);
    for (const Bytes &command : commands)
        QCOMPARE(session.write(command), 0);
    QCOMPARE(session.write(query), 0);
    Bytes received;
    QCOMPARE(session.read(received), 0);
    QCOMPARE(hex(received), hex(reply));
    QCOMPARE(libusb_release_interface(session.handle, 0), 0);
    session.close();
    verifyNoViolations(*usb);
}

void TestVirtualPrinter::logsEveryBulkOutExactly()
{
    VirtualPrinter &printer = usb->addPrinter(0x0411, "RM-310", 1);
    Bytes chunk(1024);
    for (std::size_t i = 0; i < chunk.size(); ++i)
        chunk[i] = std::uint8_t(i * 7);
    const Bytes button = frame(0x00, 0x0A);
    const Bytes malformed = {0x1B, 0xFF, 0xFE, 0x01, 0x00, 0x05, 0x01, 0x1B, 0xFE, 0xFF};

    Session session;
    QCOMPARE(session.open(1), 0);
    libusb_set_auto_detach_kernel_driver(session.handle, 1);
    QCOMPARE(libusb_claim_interface(session.handle, 0), 0);
    for (const Bytes &data : {button, chunk, malformed, Bytes{}})
        QCOMPARE(session.write(data), 0);
    QCOMPARE(libusb_release_interface(session.handle, 0), 0);
    session.close();

    QCOMPARE(printer.bulkOutLog(), (std::vector<Bytes>{button, chunk, malformed, Bytes{}}));
    QCOMPARE(printer.buttonLog(), std::vector<std::uint8_t>{0x0A});
    QCOMPARE(printer.setting(0x00), Bytes{0x02}); // the malformed set changed nothing
    std::size_t pending = 1;
    printer.withModel([&](vprinter::PrinterModel &model) { pending = model.pendingReplies(); });
    QCOMPARE(pending, std::size_t(0));
    verifyNoViolations(*usb);
}

void TestVirtualPrinter::faultsGiveTheirLibusbResults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("failedStep");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("replyLength");
    QTest::addColumn<QByteArray>("status");

    QTest::newRow("none") << ""
                          << "" << 0 << 10 << QByteArray("04 03 02 01");
    QTest::newRow("refuseOpen") << "refuseOpen"
                                << "open" << int(LIBUSB_ERROR_ACCESS) << 0 << QByteArray();
    QTest::newRow("refuseClaim") << "refuseClaim"
                                 << "claim" << int(LIBUSB_ERROR_BUSY) << 0 << QByteArray();
    QTest::newRow("failNextWrite") << "failNextWrite"
                                   << "write" << int(LIBUSB_ERROR_IO) << 0 << QByteArray();
    QTest::newRow("neverAnswer") << "neverAnswer"
                                 << "read" << int(LIBUSB_ERROR_TIMEOUT) << 0 << QByteArray();
    QTest::newRow("cutRepliesTo=4") << "cutRepliesTo=4"
                                    << "" << 0 << 4 << QByteArray("04 03 02 01");
    QTest::newRow("cutRepliesTo=0") << "cutRepliesTo=0"
                                    << "" << 0 << 0 << QByteArray();
    QTest::newRow("payload255") << "payload255"
                                << "" << 0 << 264 << QByteArray("04 03 02 01");
    QTest::newRow("stallStatus") << "stallStatus"
                                 << "status" << int(LIBUSB_ERROR_PIPE) << 10 << QByteArray();
    QTest::newRow("shortStatus") << "shortStatus"
                                 << "" << 0 << 10 << QByteArray("04 03");
    QTest::newRow("unplug during read")
        << "unplugAfterWrites=1"
        << "read" << int(LIBUSB_ERROR_NO_DEVICE) << 0 << QByteArray();
    QTest::newRow("unplug during write")
        << "unplugAfterWrites=0"
        << "write" << int(LIBUSB_ERROR_NO_DEVICE) << 0 << QByteArray();
}

void TestVirtualPrinter::faultsGiveTheirLibusbResults()
{
    QFETCH(QString, fault);
    QFETCH(QString, failedStep);
    QFETCH(int, error);
    QFETCH(int, replyLength);
    QFETCH(QByteArray, status);

    VirtualPrinter &printer = usb->addPrinter(0x0411, "RM-310", 1);
    printer.setStatusWord(0x01020304);
    Faults faults = faultNamed(fault);
    if (fault.startsWith("unplugAfterWrites="))
        faults.unplugAfterWrites = fault.section('=', 1).toInt();
    printer.setFaults(faults);

    const Outcome outcome = exchange(1, frame(0x02, 0x00), 300);
    QCOMPARE(outcome.failedStep, failedStep);
    QCOMPARE(outcome.error, error);
    QCOMPARE(int(outcome.reply.size()), replyLength);
    QCOMPARE(hex(outcome.status), status);
    if (replyLength == 264) {
        QCOMPARE(outcome.reply[5], std::uint8_t(255));
        QCOMPARE(outcome.reply[6], vprinter::PrinterModel::fillerByte(0));
        QCOMPARE(outcome.reply[260], vprinter::PrinterModel::fillerByte(254));
        QCOMPARE(hex(Bytes(outcome.reply.end() - 3, outcome.reply.end())), QByteArray("1B FE FF"));
    }
    // A failed write reaches nothing; a refused open or claim never gets to write.
    const bool wrote = failedStep.isEmpty() || failedStep == "read" || failedStep == "status";
    QCOMPARE(printer.bulkOutLog().size(), std::size_t(wrote ? 1 : 0));
    if (fault == "neverAnswer")
        QCOMPARE(printer.state().discardedUrbs, 1);
    verifyNoViolations(*usb);
}

void TestVirtualPrinter::faultsForOneExchange_data()
{
    // Five exchanges (each opens the device and asks one query); the switches hit only the nth.
    QTest::addColumn<int>("nth");
    QTest::addColumn<bool>("baseFault"); // the switches set before: every write fails
    QTest::addColumn<QString>("answered");
    QTest::newRow("third") << 3 << false << "++-++";
    QTest::newRow("first") << 1 << false << "-++++";
    QTest::newRow("beyond the sequence") << 6 << false << "+++++";
    QTest::newRow("the switches before come back after it") << 2 << true << "-+---";
}

void TestVirtualPrinter::faultsForOneExchange()
{
    QFETCH(int, nth);
    QFETCH(bool, baseFault);
    QFETCH(QString, answered);
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    Faults failedWrite;
    failedWrite.failNextWrite = true;
    Faults refusedClaim; // fails every exchange while it is on
    refusedClaim.refuseClaim = true;
    if (baseFault)
        vp.setFaults(refusedClaim);
    vp.setFaultsForExchange(nth, baseFault ? Faults{} : failedWrite);

    libusb_context *context = nullptr;
    QCOMPARE(libusb_init(&context), 0);
    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(context, &list);
    QCOMPARE(count, ssize_t(1));
    QString seen;
    for (int i = 0; i < answered.size(); ++i) {
        libusb_device_handle *handle = nullptr;
        QCOMPARE(libusb_open(list[0], &handle), 0);
        Bytes query = frame(0x02, 0x13);
        unsigned char reply[264];
        int done = 0;
        libusb_set_auto_detach_kernel_driver(handle, 1);
        const bool claimed = libusb_claim_interface(handle, 0) == 0;
        bool ok = claimed && libusb_bulk_transfer(handle, kOut, query.data(), int(query.size()),
                                                  &done, 1000) == 0;
        ok = ok && libusb_bulk_transfer(handle, kIn, reply, sizeof reply, &done, 1000) == 0;
        if (claimed)
            libusb_release_interface(handle, 0);
        libusb_close(handle);
        seen += ok ? '+' : '-';
    }
    libusb_free_device_list(list, 1);
    libusb_exit(context);
    QCOMPARE(seen, answered);
    vp.setFaults({});
    verifyNoViolations(*usb);
}

void TestVirtualPrinter::unpluggedPrinterIsGone()
{
    VirtualPrinter &printer = usb->addPrinter(0x0411, "RM-310", 1);
    usb->addPrinter(0x1401, "VS-608K", 3);
    Session before;
    QCOMPARE(before.open(1), 0);
    usb->unplug(printer);
    QCOMPARE(libusb_claim_interface(before.handle, 0), int(LIBUSB_ERROR_NO_DEVICE));
    before.close();

    Session after;
    libusb_device **list = nullptr;
    QCOMPARE(libusb_get_device_list(after.context, &list), ssize_t(1));
    QCOMPARE(int(libusb_get_port_number(list[0])), 3);
    libusb_free_device_list(list, 1);
    QVERIFY(printer.state().unplugged);
    verifyNoViolations(*usb);
}

void TestVirtualPrinter::deviceChecksCatchTransportMisuse_data()
{
    QTest::addColumn<QString>("misuse");
    QTest::addColumn<QString>("violation"); // expected part of the one violation; empty: none

    QTest::newRow("proper exchange") << "none"
                                     << "";
    QTest::newRow("bulk transfer without claim") << "noClaim"
                                                 << "without claiming it";
    QTest::newRow("closed without release") << "noRelease"
                                            << "not released";
    QTest::newRow("driver detached, never reattached") << "noReattach"
                                                       << "left detached";
    QTest::newRow("descriptor left open") << "leftOpen"
                                          << "still open";
}

void TestVirtualPrinter::deviceChecksCatchTransportMisuse()
{
    QFETCH(QString, misuse);
    QFETCH(QString, violation);

    usb->addPrinter(0x0411, "RM-310", 1);
    Session session;
    QCOMPARE(session.open(1), 0);
    if (misuse == "noReattach") {
        // usblp holds the interface until someone detaches it.
        QCOMPARE(libusb_claim_interface(session.handle, 0), int(LIBUSB_ERROR_BUSY));
        QCOMPARE(libusb_detach_kernel_driver(session.handle, 0), 0);
    } else {
        libusb_set_auto_detach_kernel_driver(session.handle, 1);
    }
    if (misuse != "noClaim")
        QCOMPARE(libusb_claim_interface(session.handle, 0), 0);
    QCOMPARE(session.write(frame(0x00, 0x07)), misuse == "noClaim" ? int(LIBUSB_ERROR_IO) : 0);
    if (misuse != "noRelease" && misuse != "noClaim")
        QCOMPARE(libusb_release_interface(session.handle, 0), 0);
    if (misuse != "leftOpen")
        session.close();

    std::vector<std::string> found = usb->violations(misuse == "leftOpen" ? 50 : 1000);
    if (violation.isEmpty()) {
        QVERIFY2(found.empty(), found.empty() ? "" : found.front().c_str());
    } else {
        QVERIFY(!found.empty());
        QVERIFY2(QString::fromStdString(found.front()).contains(violation), found.front().c_str());
    }
}

void TestVirtualPrinter::autoDetachClaimReattachesUsblp()
{
    VirtualPrinter &printer = usb->addPrinter(0x0411, "RM-310", 1);
    QCOMPARE(printer.state().kernelDriver, std::string("usblp"));
    {
        Session session;
        QCOMPARE(session.open(1), 0);
        libusb_set_auto_detach_kernel_driver(session.handle, 1);
        QCOMPARE(libusb_claim_interface(session.handle, 0), 0);
        const vprinter::DeviceState claimed = printer.state(0);
        QCOMPARE(claimed.kernelDriver, std::string("usbfs"));
        QVERIFY(claimed.claimed);
        QCOMPARE(claimed.openFds, 1);
        QCOMPARE(libusb_release_interface(session.handle, 0), 0);
    }
    const vprinter::DeviceState state = printer.state();
    QCOMPARE(state.kernelDriver, std::string("usblp"));
    QCOMPARE(state.opens, 1);
    QCOMPARE(state.openFds, 0);
    QCOMPARE(state.disconnectClaims, 1);
    QCOMPARE(state.claims, 1);
    QCOMPARE(state.releases, 1);
    QCOMPARE(state.connects, 1);
    QCOMPARE(state.driverDetaches, 1);
    QCOMPARE(state.driverRebinds, 1);
    verifyNoViolations(*usb);
}

// A read that waits must sleep in poll(), not spin: the node is a FIFO kept full while nothing
// can be reaped. A spinning libusb burns about as much CPU as the wait lasts, on both threads.
void TestVirtualPrinter::waitingReadDoesNotSpin()
{
    VirtualPrinter &printer = usb->addPrinter(0x0411, "RM-310", 1);
    Faults faults;
    faults.neverAnswer = true;
    printer.setFaults(faults);
    Session session;
    QCOMPARE(session.open(1), 0);
    libusb_set_auto_detach_kernel_driver(session.handle, 1);
    QCOMPARE(libusb_claim_interface(session.handle, 0), 0);
    QCOMPARE(session.write(frame(0x02, 0x00)), 0);

    auto cpuMs = [] {
        rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
    };
    const double before = cpuMs();
    Bytes reply;
    QCOMPARE(session.read(reply, 1000), int(LIBUSB_ERROR_TIMEOUT));
    const double spent = cpuMs() - before;
    QVERIFY2(spent < 300, qPrintable(QString("%1 ms CPU during a 1000 ms wait").arg(spent)));
    QCOMPARE(libusb_release_interface(session.handle, 0), 0);
    session.close();
    verifyNoViolations(*usb);
}

void TestVirtualPrinter::launcherAttachesPrintersToTheCommand_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("listed"); // what the command's libusb saw
    QTest::addColumn<int>("exitCode");

    QTest::newRow("default printers")
        << QStringList{"--log"} << QStringList{"5c1e:1401 3 VS-608K", "5c1e:0411 1 RM-310"} << 3;
    QTest::newRow("printers from the command line")
        << QStringList{"--printer", "0412:1-2.7:RM-320", "--printer=0601:12:HJ-WK650"}
        << QStringList{"5c1e:0601 12 HJ-WK650", "5c1e:0412 7 RM-320"} << 3;
    QTest::newRow("bad printer") << QStringList{"--printer", "0412:RM-320"} << QStringList{} << 2;
}

void TestVirtualPrinter::launcherAttachesPrintersToTheCommand()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, listed);
    QFETCH(int, exitCode);

    QProcess launcher;
    launcher.start(
        VIRTUAL_PRINTERS,
        options + QStringList{"--", QCoreApplication::applicationFilePath(), "--list-printers"});
    QVERIFY(launcher.waitForFinished(60000));
    QCOMPARE(launcher.exitStatus(), QProcess::NormalExit);
    QCOMPARE(launcher.exitCode(), exitCode);
    const QStringList lines = QString::fromLatin1(launcher.readAllStandardOutput()).split('\n');
    QStringList seen = lines.mid(0, listed.size());
    seen.sort();
    listed.sort(); // the listing order follows the directory order of the testbed's sysfs
    QCOMPARE(seen, listed);
    if (options.contains("--log")) {
        // After the command: each printer's transfers, the query first.
        const QString log = lines.join('\n');
        QVERIFY2(log.contains("Zurod RM-310 (5C1E:0411) on port 1 (1-1): 2 transfers\n"
                              "  OUT           9: 1B FF FE 02 00 00 1B FE FF\n"
                              "  IN           10: 1B FF FE 02 00 01 02 1B FE FF"),
                 qPrintable(log));
        QVERIFY2(!log.contains("device check"), qPrintable(log));
    }
}

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--list-printers") == 0)
        return listPrinters();
    QCoreApplication app(argc, argv);
    TestVirtualPrinter test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_virtualprinter.moc"
