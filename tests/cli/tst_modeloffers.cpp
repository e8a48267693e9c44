// Every model of the table of supported printers, and one it does not name, as the window and
// the command line offer it: the same virtual printer is selected in the window and addressed on
// the command line, and both must offer what the table says, no more and no less.
#include "clitest.h"
#include "core/printers/modelgate.h"
#include "core/printers/supportedprinters.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QToolBox>

using supportedprinters::Offer;

class TestModelOffers : public QObject
{
    Q_OBJECT
private slots:
    void window_data();
    void window();
    void commandLine_data();
    void commandLine();

private:
    void modelRows();
};

namespace {

const int kPort = 1;

// The first product ID of a brand.
quint16 productIdOf(const QString &brand)
{
    for (const supportedprinters::Brand &b : supportedprinters::kBrands) {
        if (brand == QLatin1String(b.brand))
            return *b.productIds.begin();
    }
    return 0;
}

Offer offerOf(const QString &brand, const QString &product)
{
    return modelgate::offerOf(ModelKey::of(brand, product));
}

} // namespace

void TestModelOffers::modelRows()
{
    QTest::addColumn<QString>("brand");
    QTest::addColumn<QString>("product");
    for (const supportedprinters::Brand &brand : supportedprinters::kBrands) {
        for (const supportedprinters::Model &model : brand.models)
            QTest::addRow("%s %s", brand.brand, model.product) << brand.brand << model.product;
    }
    QTest::newRow("unlisted model") << "Zurod"
                                    << "ZT-410";
}

void TestModelOffers::window_data() { modelRows(); }

void TestModelOffers::window()
{
    QFETCH(QString, brand);
    QFETCH(QString, product);
    const Offer offer = offerOf(brand, product);
    WindowHarness ui;
    ui.usb.addPrinter(productIdOf(brand), product.toStdString(), kPort);
    QVERIFY(ui.selectPort(kPort));
    QCOMPARE(ui.list()->currentItem()->text(), QStringLiteral("%1 %2 USB001").arg(brand, product));

    auto *tabs = ui.widget<QTabWidget>("tabWidget_2");
    QCOMPARE(tabs->isTabEnabled(0), offer.settingsPages);
    QCOMPARE(tabs->isTabEnabled(1), offer.maintenance);
    QVERIFY(tabs->isTabEnabled(2));
    QCOMPARE(ui.widget<QPushButton>("pushButton_35")->isEnabled(), offer.fontDownload);
    QVERIFY(ui.widget<QPushButton>("pushButton_34")->isEnabled());
    // The status request stands on the functional tab with the maintenance buttons.
    QCOMPARE(ui.widget<QPushButton>("pushButton_15")->isEnabled(), offer.maintenance);
    QCOMPARE(ui.widget<QToolBox>("toolBox")->isItemEnabled(5), offer.ethernet);
    QCOMPARE(ui.widget<QComboBox>("comboBox_9")->isEnabled(), offer.printMethod);
    QCOMPARE(ui.widget<QLabel>("label_41")->isEnabled(), offer.printMethod);
    QCOMPARE(ui.widget<QComboBox>("comboBox")->count(), offer.printSpeeds);
    QVERIFY(ui.boxes.boxes().isEmpty());
    verifyNoViolations(ui.usb);
}

void TestModelOffers::commandLine_data() { modelRows(); }

void TestModelOffers::commandLine()
{
    QFETCH(QString, brand);
    QFETCH(QString, product);
    const Offer offer = offerOf(brand, product);
    vprinter::VirtualUsb usb;
    VirtualPrinter &printer = usb.addPrinter(productIdOf(brand), product.toStdString(), kPort);
    const QStringList port = {"--port", QString::number(kPort)};
    // Runs the command; where the model does not offer it, it must be refused with `refusal`
    // before anything is sent, and where it does, not refused so.
    const auto expect = [&](const QStringList &arguments, bool offered, const QString &refusal) {
        printer.clearLogs();
        const Result r = runCli(port + arguments);
        const QString what = QStringLiteral("%1: expected %2, exit %3, %4")
                                 .arg(arguments.join(' '), offered ? "offered" : "refused")
                                 .arg(r.exit)
                                 .arg(r.err);
        const bool sent = !printer.transferLog().empty();
        if (offered ? r.err.contains(refusal)
                    : r.exit != cli::Refused || !r.err.contains(refusal) || sent)
            QTest::qFail(qPrintable(what), __FILE__, __LINE__);
        return r;
    };
    const QString noPage = QStringLiteral("此机型不提供页面“%1”");
    const QString noFunction = QStringLiteral("此机型（%1 %2）不提供“%3”").arg(brand, product);

    Result r = expect({"read", "print"}, offer.settingsPages, noPage.arg("print"));
    if (offer.settingsPages) {
        QCOMPARE(r.exit, int(cli::Ok));
        QCOMPARE(r.out.contains("\nprint-method="), offer.printMethod);
    }
    r = expect({"read", "ethernet"}, offer.ethernet, noPage.arg("ethernet"));
    if (offer.ethernet)
        QCOMPARE(r.exit, int(cli::Ok));
    // The fastest speed the model offers is written; one beyond it is refused.
    const QString fastest = QString::number(offer.printSpeeds - 1);
    r = expect({"write", "print", "speed=" + fastest}, offer.settingsPages, noPage.arg("print"));
    if (offer.settingsPages) {
        QVERIFY2(r.exit == cli::Ok, qPrintable(r.err));
        QCOMPARE(printer.setting(0x00), vprinter::Bytes{std::uint8_t(offer.printSpeeds - 1)});
        r = runCli(port +
                   QStringList{"write", "print", "speed=" + QString::number(offer.printSpeeds)});
        QCOMPARE(r.exit, int(cli::Refused));
    }

    r = expect({"status"}, offer.maintenance, noFunction.arg("status"));
    if (offer.maintenance)
        QCOMPARE(r.exit, int(cli::Ok));
    r = expect({"maintain", "buzzer-on"}, offer.maintenance, noFunction.arg("maintain"));
    if (offer.maintenance)
        QCOMPARE(r.exit, int(cli::Ok));
    // A file that is not there: refused for the model before the file is looked at.
    expect({"download", "font", "/nonexistent/font.bin"}, offer.fontDownload,
           QStringLiteral("此机型不提供字库下载"));
    verifyNoViolations(usb);
}

#include "tst_modeloffers.moc"
QTEST_MAIN(TestModelOffers)
