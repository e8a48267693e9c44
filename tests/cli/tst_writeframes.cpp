// The window's write buttons and `label-printer-cli write` send the same frames, byte for byte
// and in the same order, for every settings page: two virtual printers of one model with the
// same stored settings, the same values given to each, one written from the window and one from
// the command line.
#include "tests/cli/clitest.h"

#include <QComboBox>

namespace {

// One value given to both: the widget the window takes it from, what goes into the widget (the
// item index of a box, the text of a line edit), and the command line's key=value.
struct Given {
    QString widget;
    QString shown;
    QString assignment;
};

// A setting both printers hold before the test: code and payload in hex.
struct Stored {
    int code;
    QByteArray hex;
};

constexpr int kWindowPort = 3;
constexpr int kCliPort = 5;

// The frames a printer received that are no query (class 02): what a write sent, without the
// command line's read before it and its read-back after it.
QStringList writeFrames(const VirtualPrinter &printer)
{
    QStringList frames;
    for (const QString &frame : receivedFrames(printer)) {
        if (!frame.startsWith(QLatin1String("1B FF FE 02")))
            frames << frame;
    }
    return frames;
}

} // namespace

Q_DECLARE_METATYPE(QList<Given>)
Q_DECLARE_METATYPE(QList<Stored>)

class TestWriteFrames : public QObject
{
    Q_OBJECT
private slots:
    void sameFramesFromWindowAndCommandLine_data();
    void sameFramesFromWindowAndCommandLine();
};

void TestWriteFrames::sameFramesFromWindowAndCommandLine_data()
{
    QTest::addColumn<int>("productId");
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("readButton");
    QTest::addColumn<QString>("writeButton");
    QTest::addColumn<QList<Stored>>("stored");
    QTest::addColumn<QList<Given>>("given");
    QTest::addColumn<int>("frames"); // how many the write sends

    const int extended = 0x1401, plain = 0x0412;
    QTest::newRow("print, extended model: eleven settings and the closing button")
        << extended << "VS-608K"
        << "print"
        << "pushButton_13"
        << "pushButton_14" << QList<Stored>{{0x19, "6400"}, {0x1D, "F4FF"}}
        << QList<Given>{{"comboBox", "5", "speed=5"},
                        {"comboBox_2", "12", "density=12"},
                        {"lineEdit_42", "7", "black-mark-gap=7"},
                        {"comboBox_20", "1", "direction=180"},
                        {"comboBox_12", "1", "mirror=mirror"},
                        {"lineEdit_20", "-3", "vertical-offset=-3"},
                        {"comboBox_9", "1", "print-method=transfer"},
                        {"comboBox_3", "2", "paper-type=continuous"},
                        {"comboBox_15", "17", "code-page=17"},
                        {"comboBox_23", "2", "language=AUTO"}}
        << 12;
    QTest::newRow("print, plain model: no print method")
        << plain << "ZT-410"
        << "print"
        << "pushButton_13"
        << "pushButton_14" << QList<Stored>{}
        << QList<Given>{{"comboBox", "3", "speed=3"}, {"lineEdit_43", "12", "label-gap=12"}} << 11;
    QTest::newRow("distance: millimetres and dots")
        << extended << "VS-608K"
        << "distance"
        << "pushButton_31"
        << "pushButton_30" << QList<Stored>{{0x35, "F0FF"}}
        << QList<Given>{{"lineEdit_3", "-2", "exit-to-head=-2"},
                        {"lineEdit_9", "300", "head-to-tear=300"}}
        << 4;
    QTest::newRow("serial: line parameters and the printer's own serial number")
        << extended << "VS-608K"
        << "serial"
        << "pushButton_27"
        << "pushButton_28" << QList<Stored>{}
        << QList<Given>{{"comboBox_27", "3", "baud-rate=19200"}, {"comboBox_26", "2", "parity=2"}}
        << 2;
    QTest::newRow("wifi, station mode")
        << extended << "VS-608K"
        << "wifi"
        << "pushButton_17"
        << "pushButton_18" << QList<Stored>{}
        << QList<Given>{{"lineEdit_6", "Shop floor", "station-name=Shop floor"},
                        {"lineEdit_23", "secret-2", "station-password=secret-2"},
                        {"lineEdit_27", "9200", "tcp-port=9200"}}
        << 3;
    QTest::newRow("wifi, access-point mode")
        << extended << "VS-608K"
        << "wifi"
        << "pushButton_17"
        << "pushButton_18" << QList<Stored>{{0x30, "02"}}
        << QList<Given>{{"lineEdit_11", "Label-AP", "ap-name=Label-AP"},
                        {"lineEdit_47", "10.0.4.1", "ap-ip=10.0.4.1"}}
        << 3;
    QTest::newRow("bluetooth: names, PIN pairing")
        << extended << "VS-608K"
        << "bluetooth"
        << "pushButton_23"
        << "pushButton_24" << QList<Stored>{}
        << QList<Given>{{"lineEdit_28", "Shelf-7", "spp-name=Shelf-7"},
                        {"comboBox_11", "1", "pairing=pin"},
                        {"lineEdit_25", "4321", "pin=4321"}}
        << 4;
    QTest::newRow("wifi-ip: DHCP off with fixed addresses")
        << extended << "VS-608K"
        << "wifi-ip"
        << "pushButton_25"
        << "pushButton_26" << QList<Stored>{}
        << QList<Given>{{"comboBox_14", "0", "dhcp=off"},
                        {"lineEdit_30", "10.0.0.7", "ip=10.0.0.7"},
                        {"lineEdit_33", "10.0.0.1", "gateway=10.0.0.1"},
                        {"lineEdit_37", "9.9.9.9", "dns=9.9.9.9"}}
        << 1;
    QTest::newRow("ethernet: DHCP off, other ports")
        << extended << "VS-608K"
        << "ethernet"
        << "pushButton_33"
        << "pushButton_32" << QList<Stored>{}
        << QList<Given>{{"comboBox_16", "1", "dhcp=off"},
                        {"lineEdit_36", "172.16.0.9", "ip=172.16.0.9"},
                        {"lineEdit_12", "9101", "tcp-port=9101"},
                        {"lineEdit_10", "9102", "udp-port=9102"}}
        << 2;
}

void TestWriteFrames::sameFramesFromWindowAndCommandLine()
{
    QFETCH(int, productId);
    QFETCH(QString, product);
    QFETCH(QString, page);
    QFETCH(QString, readButton);
    QFETCH(QString, writeButton);
    QFETCH(QList<Stored>, stored);
    QFETCH(QList<Given>, given);
    QFETCH(int, frames);

    WindowHarness ui;
    VirtualPrinter &forWindow =
        ui.usb.addPrinter(uint16_t(productId), product.toStdString(), kWindowPort);
    VirtualPrinter &forCli =
        ui.usb.addPrinter(uint16_t(productId), product.toStdString(), kCliPort);
    for (VirtualPrinter *printer : {&forWindow, &forCli}) {
        // Each printer has a serial number of its own, which the serial page writes back to it:
        // the same one on both, so that their frames can be the same.
        printer->setSetting(0x10, toBytes(QByteArray("ZR31000099999\0", 14)));
        for (const Stored &s : stored)
            printer->setSetting(uint8_t(s.code), toBytes(QByteArray::fromHex(s.hex)));
    }

    QVERIFY(ui.selectPort(kWindowPort));
    ui.click(qPrintable(readButton));
    QCOMPARE(ui.boxes.takeOne().text, QStringLiteral("获取成功"));
    QStringList assignments;
    for (const Given &g : given) {
        if (auto *box = ui.window.findChild<QComboBox *>(g.widget)) {
            QVERIFY2(g.shown.toInt() < box->count(), qPrintable(g.widget));
            box->setCurrentIndex(g.shown.toInt());
        } else {
            ui.widget<QLineEdit>(qPrintable(g.widget))->setText(g.shown);
        }
        assignments << g.assignment;
    }
    forWindow.clearLogs();
    ui.click(qPrintable(writeButton));
    QCOMPARE(ui.boxes.takeOne().text, QStringLiteral("设置成功"));
    const QStringList fromWindow = receivedFrames(forWindow);
    QCOMPARE(fromWindow.size(), frames);

    forCli.clearLogs();
    const Result r =
        runCli(QStringList{"--port", QString::number(kCliPort), "write", page} + assignments);
    QVERIFY2(r.exit == cli::Ok, qPrintable(r.err));
    QCOMPARE(writeFrames(forCli), fromWindow);
    verifyNoViolations(ui.usb);
}

QTEST_MAIN(TestWriteFrames)
#include "tst_writeframes.moc"
