// What the command line takes as input, against virtual printers: --port in each of its forms,
// values the printer already holds typed another way, wire values a printer's read could never
// give, values no printer can use, and file names that are not UTF-8.
#include "core/base/filenames.h"
#include "core/profiles/profile.h"
#include "tests/cli/clitest.h"

#include <dirent.h>

namespace {

// The names in a folder as the system has them (Qt's listing replaces bytes that are no UTF-8).
QList<QByteArray> namesIn(const QString &folder)
{
    QList<QByteArray> names;
    if (DIR *d = ::opendir(QFile::encodeName(folder).constData())) {
        while (const dirent *entry = ::readdir(d)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names << name;
        }
        ::closedir(d);
    }
    return names;
}

} // namespace

class TestCliInputs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void leadingZerosInEveryFormOfPort_data();
    void leadingZerosInEveryFormOfPort();
    void sameValueTypedOtherwiseIsUnchanged_data();
    void sameValueTypedOtherwiseIsUnchanged();
    void wireValueTheReadCannotGiveIsRefused_data();
    void wireValueTheReadCannotGiveIsRefused();
    void valuesNoPrinterCanUseAreRefused_data();
    void valuesNoPrinterCanUseAreRefused();
    void fileNameKeepsItsBytes();
    void downloadFileNameKeepsItsBytes();
    void backupToStandardOutput();
    void failedSaveGivesTheReason();

private:
    std::unique_ptr<vprinter::VirtualUsb> usb;
    VirtualPrinter *root = nullptr;   // 1-3
    VirtualPrinter *hubbed = nullptr; // 1-2.4
    QTemporaryDir dir;
};

void TestCliInputs::init()
{
    QVERIFY(QDir(dir.path()).removeRecursively() && QDir().mkpath(dir.path()));
    usb = std::make_unique<vprinter::VirtualUsb>();
    root = &usb->addPrinter(0x1401, "VS-608K", 3);
    vprinter::PrinterConfig config;
    config.sysfsName = "1-2.4";
    config.identity.productId = 0x1401;
    config.identity.product = "VS-608K";
    hubbed = &usb->addPrinter(config);
}

void TestCliInputs::cleanup()
{
    verifyNoViolations(*usb);
    usb.reset();
}

void TestCliInputs::leadingZerosInEveryFormOfPort_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("exit");
    QTest::addColumn<int>("reached"); // 0: 1-3, 1: 1-2.4, -1: neither
    QTest::newRow("port number") << "3" << int(cli::Ok) << 0;
    QTest::newRow("port number, leading zero") << "03" << int(cli::Ok) << 0;
    QTest::newRow("port number, two leading zeros") << "003" << int(cli::Ok) << 0;
    QTest::newRow("bus and port, zero before the port") << "1-03" << int(cli::Ok) << 0;
    QTest::newRow("bus and port, zero before the bus") << "01-3" << int(cli::Ok) << 0;
    QTest::newRow("path, zero before the last port") << "2.04" << int(cli::Ok) << 1;
    QTest::newRow("path, zero before the first port") << "02.4" << int(cli::Ok) << 1;
    QTest::newRow("bus and path, zeros everywhere") << "001-02.004" << int(cli::Ok) << 1;
    QTest::newRow("port number behind the hub, leading zero") << "04" << int(cli::Ok) << 1;
    QTest::newRow("port nobody is on, leading zero") << "05" << int(cli::NoSuchPrinter) << -1;
    QTest::newRow("zero is no port") << "0" << int(cli::UsageError) << -1;
    QTest::newRow("zeros only are no port") << "00" << int(cli::UsageError) << -1;
    QTest::newRow("a sign is no digit") << "+3" << int(cli::UsageError) << -1;
}

// Each form of --port is read as numbers: "03" names the printer "1-03" and "01-3" name.
void TestCliInputs::leadingZerosInEveryFormOfPort()
{
    QFETCH(QString, port);
    QFETCH(int, exit);
    QFETCH(int, reached);
    const Result r = runCli({"--port", port, "write", "print", "speed=5"});
    QVERIFY2(r.exit == exit, qPrintable(QString::number(r.exit) + ' ' + r.err));
    QCOMPARE(!setFrames(*root).isEmpty(), reached == 0);
    QCOMPARE(!setFrames(*hubbed).isEmpty(), reached == 1);
    if (exit == cli::NoSuchPrinter)
        QCOMPARE(r.err, QString("端口 %1 上没有打印机\n").arg(port));
}

void TestCliInputs::sameValueTypedOtherwiseIsUnchanged_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("assignment");
    QTest::addColumn<QString>("out");
    QTest::newRow("-0 dots on a printer at 0") << "distance"
                                               << "head-to-tear=-0"
                                               << "distance: 未改变\n";
    QTest::newRow("0 dots on a printer at 0") << "distance"
                                              << "head-to-tear=0"
                                              << "distance: 未改变\n";
    QTest::newRow("a port with a leading zero") << "wifi"
                                                << "tcp-port=09100"
                                                << "wifi: 未改变\n";
    QTest::newRow("millimetres with a leading zero") << "distance"
                                                     << "exit-to-head=012"
                                                     << "distance: 未改变\n";
    QTest::newRow("millimetres as shown, on a printer between two")
        << "distance" << "gap-to-head=07" << "distance: 未改变\n";
    QTest::newRow("unchanged beside a change: goes back as read")
        << "distance" << "gap-to-head=007 head-to-tear=5" << "distance head-to-tear: 0 -> 5\n";
    QTest::newRow("a changed value still goes out") << "distance"
                                                    << "head-to-tear=-00008"
                                                    << "distance head-to-tear: 0 -> -00008\n";
}

// A value the printer already holds is no change, however it is typed: nothing is sent, the
// write says "unchanged" and ends with 0.
void TestCliInputs::sameValueTypedOtherwiseIsUnchanged()
{
    QFETCH(QString, page);
    QFETCH(QString, assignment);
    QFETCH(QString, out);
    root->setSetting(0x36, {0, 0});  // head to tear: 0 dots
    root->setSetting(0x33, {96, 0}); // exit to head: 12 mm
    root->setSetting(0x34, {60, 0}); // gap to head: 7.5 mm, shown as 7
    const Result r =
        runCli(QStringList{"--port", "3", "write", page} + assignment.split(QLatin1Char(' ')));
    QVERIFY2(r.exit == cli::Ok, qPrintable(r.err));
    QCOMPARE(r.out, out);
    QCOMPARE(setFrames(*root).isEmpty(), out.endsWith("未改变\n"));
    if (assignment.startsWith("head-to-tear=-00008"))
        QCOMPARE(root->setting(0x36), (vprinter::Bytes{0xF8, 0xFF}));
    // What was not changed keeps its exact value: 60 dots, not the 56 that "7" mm would be.
    QCOMPARE(root->setting(0x34), (vprinter::Bytes{60, 0}));
    QCOMPARE(root->setting(0x33), (vprinter::Bytes{96, 0}));
}

void TestCliInputs::wireValueTheReadCannotGiveIsRefused_data()
{
    QTest::addColumn<QByteArray>("profile");
    QTest::addColumn<QString>("where"); // empty: accepted
    QTest::newRow("mirror 46") << withWire(R"("mirror":46)") << "print.wire.mirror";
    QTest::newRow("direction 2") << withWire(R"("direction":2)") << "print.wire.direction";
    QTest::newRow("paper type 4") << withWire(R"("paper-type":4)") << "print.wire.paper-type";
    QTest::newRow("print method 9") << withWire(R"("print-method":9)") << "print.wire.print-method";
    QTest::newRow("Wi-Fi mode 198")
        << profileOf(R"("wifi":{"values":{"mode":"AP","ap-name":"x","ap-password":"",
            "ap-ip":"192.168.4.1"},"wire":{"mode":198}})")
        << "wifi.wire.mode";
    QTest::newRow("Wi-Fi IP's DHCP 7")
        << profileOf(R"("wifi-ip":{"values":{"dhcp":"on"},"wire":{"dhcp":7}})")
        << "wifi-ip.wire.dhcp";
    // A selector whose read keeps the byte: what a printer sent beyond the list goes back.
    QTest::newRow("speed 200, beyond the list")
        << withWire(R"("speed":200)").replace(R"("speed":"1")", R"("speed":"")") << "";
    QTest::newRow("mirror 1, as a read gives it")
        << withWire(R"("mirror":1)").replace(R"("mirror":"normal")", R"("mirror":"mirror")") << "";
}

// A wire value a selector's read could never give is refused, naming page and key, before
// anything is sent.
void TestCliInputs::wireValueTheReadCannotGiveIsRefused()
{
    QFETCH(QByteArray, profile);
    QFETCH(QString, where);
    const QString path = dir.filePath("profile.json");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(profile) == profile.size());
    file.close();
    const Result r = runCli({"--port", "3", "restore", path});
    if (where.isEmpty()) {
        QVERIFY2(r.exit == cli::Ok, qPrintable(r.err));
        QVERIFY(!setFrames(*root).isEmpty());
        return;
    }
    QCOMPARE(r.exit, int(cli::Refused));
    QCOMPARE(r.err, QString("文件不是有效的打印机配置：%1\n").arg(where));
    QCOMPARE(setFrames(*root), QStringList());
}

void TestCliInputs::valuesNoPrinterCanUseAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("err"); // empty: accepted
    const QString name32(32, 'n');
    QTest::newRow("network name of 32 bytes")
        << QStringList{"wifi", "station-name=" + name32} << "";
    QTest::newRow("network name of 33 bytes")
        << QStringList{"wifi", "station-name=" + name32 + "n"}
        << "“station-name”太长：最多 32 个字节。未发送任何设置。";
    QTest::newRow("access point name of 33 bytes in 11 characters")
        << QStringList{"wifi", "mode=AP", "ap-ip=192.168.4.1",
                       "ap-name=" + QString(11, QChar(0x4E2D))}
        << "“ap-name”太长：最多 32 个字节。未发送任何设置。";
    QTest::newRow("PIN of 4 digits") << QStringList{"bluetooth", "pin=1234"} << "";
    QTest::newRow("PIN of 16 digits") << QStringList{"bluetooth", "pin=" + QString(16, '7')} << "";
    const QString pinRule = "“pin”须为 4 到 16 位数字。未发送任何设置。";
    QTest::newRow("PIN of 3 digits") << QStringList{"bluetooth", "pin=123"} << pinRule;
    QTest::newRow("PIN of 17 digits")
        << QStringList{"bluetooth", "pin=" + QString(17, '7')} << pinRule;
    QTest::newRow("PIN with a letter") << QStringList{"bluetooth", "pin=12a4"} << pinRule;
    QTest::newRow("empty PIN") << QStringList{"bluetooth", "pin="} << pinRule;
    QTest::newRow("PIN of full-width digits")
        << QStringList{"bluetooth", "pin=" + QString(4, QChar(0xFF11))} << pinRule;
    const QString host =
        "“%1”不能是 0.0.0.0 或 255.255.255.255：打印机需要自己的地址。未发送任何设置。";
    QTest::newRow("address 0.0.0.0")
        << QStringList{"wifi-ip", "dhcp=off", "ip=0.0.0.0"} << host.arg("ip");
    QTest::newRow("address 255.255.255.255")
        << QStringList{"ethernet", "dhcp=off", "ip=255.255.255.255"} << host.arg("ip");
    QTest::newRow("access point at 0.0.0.0")
        << QStringList{"wifi", "mode=AP", "ap-name=x", "ap-ip=0.0.0.0"} << host.arg("ap-ip");
    QTest::newRow("gateway 0.0.0.0: no gateway")
        << QStringList{"wifi-ip", "dhcp=off", "gateway=0.0.0.0"} << "";
    QTest::newRow("mask of all ones") << QStringList{"wifi-ip", "mask=255.255.255.255"} << "";
    const QString zero = "“%1”的每组数字不能以0开头（如 192.168.1.10，而不是 192.168.001.010）。"
                         "未发送任何设置。";
    QTest::newRow("address 01.2.3.4")
        << QStringList{"wifi-ip", "dhcp=off", "ip=01.2.3.4"} << zero.arg("ip");
    QTest::newRow("access point at 192.168.004.1")
        << QStringList{"wifi", "mode=AP", "ap-name=x", "ap-ip=192.168.004.1"} << zero.arg("ap-ip");
    QTest::newRow("mask 255.255.255.000")
        << QStringList{"ethernet", "mask=255.255.255.000"} << zero.arg("mask");
    QTest::newRow("a group of 0 is no leading zero")
        << QStringList{"wifi-ip", "dhcp=off", "ip=10.0.0.7"} << "";
    // Bytes that are no UTF-8, as the command line gets them from the shell.
    QTest::newRow("network name of bytes that are no UTF-8")
        << QStringList{"wifi", "station-name=" + filenames::decode("\xff\xfe")}
        << "“station-name”含有不是UTF-8文字的字节。未发送任何设置。";
    QTest::newRow("Bluetooth name of bytes that are no UTF-8")
        << QStringList{"bluetooth", "spp-name=caf" + filenames::decode("\xe9")}
        << "“spp-name”含有不是UTF-8文字的字节。未发送任何设置。";
}

// Values the page would once have taken but a printer cannot use: refused with the rule, and
// nothing sent.
void TestCliInputs::valuesNoPrinterCanUseAreRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, err);
    const Result r = runCli(QStringList{"--port", "3", "write"} + arguments);
    if (err.isEmpty()) {
        QVERIFY2(r.exit == cli::Ok, qPrintable(r.err));
        QVERIFY(!setFrames(*root).isEmpty());
        return;
    }
    QCOMPARE(r.exit, int(cli::Refused));
    QCOMPARE(r.err, err + '\n');
    QCOMPARE(setFrames(*root), QStringList());
}

// A name with a byte that is no UTF-8 (Latin-1 "café"): backup makes the file of exactly those
// bytes, and restore and diff find it again.
void TestCliInputs::fileNameKeepsItsBytes()
{
    const QByteArray name = QFile::encodeName(dir.path()) + "/caf\xe9.json";
    const QString path = filenames::decode(name);
    QCOMPARE(filenames::encode(path), name);

    Result r = runCli({"--port", "3", "backup", path});
    QVERIFY2(r.exit == cli::Ok, qPrintable(r.err));
    struct stat status = {};
    QCOMPARE(::lstat(name.constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 07777), 0600);
    QCOMPARE(namesIn(dir.path()), QList<QByteArray>{"caf\xe9.json"}); // nothing left beside it

    r = runCli({"--port", "3", "backup", path});
    QCOMPARE(r.exit, int(cli::Refused)); // it exists now
    r = runCli({"--port", "3", "diff", path});
    QVERIFY2(r.exit == 0, qPrintable(r.err + r.out));
    r = runCli({"--port", "3", "restore", path});
    QVERIFY2(r.exit == cli::Ok, qPrintable(r.err));
    QCOMPARE(::unlink(name.constData()), 0); // Qt could not remove it
}

// A download file whose name is no UTF-8: read, decrypted beside itself and sent whole, and the
// side file removed afterwards.
void TestCliInputs::downloadFileNameKeepsItsBytes()
{
    const QByteArray name = QFile::encodeName(dir.path()) + "/image\xff.bin";
    const QByteArray plain = writeEncryptedSample(dir.filePath("image.bin"));
    QVERIFY(!plain.isEmpty());
    QCOMPARE(::rename(QFile::encodeName(dir.filePath("image.bin")).constData(), name.constData()),
             0);
    const Result r = runCli({"--port", "3", "download", "firmware", filenames::decode(name)});
    QVERIFY2(r.exit == cli::Ok, qPrintable(r.err));
    const std::vector<vprinter::DownloadRecord> downloads = root->downloads();
    QCOMPARE(downloads.size(), size_t(1));
    QCOMPARE(QString::fromStdString(downloads[0].sha256),
             QString(QCryptographicHash::hash(plain, QCryptographicHash::Sha256).toHex()));
    QCOMPARE(namesIn(dir.path()), QList<QByteArray>{"image\xff.bin"}); // the side file is gone
    QCOMPARE(::unlink(name.constData()), 0);
}

// "-" is standard output: the profile is printed, and no file of that name is made.
void TestCliInputs::backupToStandardOutput()
{
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const Result r = runCli({"--port", "3", "backup", "-"});
    const bool made = filenames::exists("-");
    QVERIFY(QDir::setCurrent(before));
    QVERIFY2(r.exit == cli::Ok, qPrintable(r.err));
    QVERIFY(!made);
    profile::Parsed parsed;
    QCOMPARE(profile::parse(r.out.toUtf8(), parsed), std::optional<QString>());
    QCOMPARE(parsed.model, QString("Orbeck VS-608K"));
    QVERIFY(parsed.pages.contains("print"));
}

// A save that fails says why, in the system's words.
void TestCliInputs::failedSaveGivesTheReason()
{
    const QString folder = dir.filePath("adir");
    QVERIFY(QDir().mkpath(folder));
    Result r = runCli({"--port", "3", "backup", "--force", folder});
    QCOMPARE(r.exit, int(cli::Refused));
    QCOMPARE(r.err, QString("无法写入文件：%1（%2）\n")
                        .arg(folder, QString::fromLocal8Bit(std::strerror(EISDIR))));
    r = runCli({"--port", "3", "backup", dir.filePath("missing/file.json")});
    QCOMPARE(r.exit, int(cli::Refused));
    QCOMPARE(r.err, QString("无法写入文件：%1（%2）\n")
                        .arg(dir.filePath("missing/file.json"),
                             QString::fromLocal8Bit(std::strerror(ENOENT))));
    QCOMPARE(namesIn(dir.path()), QList<QByteArray>{"adir"}); // no temporary file left
}

QTEST_GUILESS_MAIN(TestCliInputs)
#include "tst_cliinputs.moc"
