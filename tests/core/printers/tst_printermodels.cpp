// The table of supported printers: which model a list row names, what each model offers, the
// pages a model gets from it, and the virtual printers' own brand table against it.
#include "core/printers/modelgate.h"
#include "core/printers/modelkey.h"
#include "core/printers/supportedprinters.h"
#include "core/settings/settingspage.h"
#include "sim/printermodel.h"

#include <QMap>
#include <QSet>
#include <QTest>

using supportedprinters::Offer;

namespace {

// The offer by the name the rows below use.
QString nameOf(const Offer &offer)
{
    if (offer == supportedprinters::kLocked)
        return QStringLiteral("locked");
    if (offer == supportedprinters::kExtended)
        return QStringLiteral("extended");
    if (offer == supportedprinters::kBasic)
        return QStringLiteral("basic");
    return QStringLiteral("another offer");
}

} // namespace

class TestPrinterModels : public QObject
{
    Q_OBJECT
private slots:
    void modelKey_data();
    void modelKey();
    void offerOfRow_data();
    void offerOfRow();
    void tableNamesTheLockedAndExtendedModels();
    void productIdsStandUnderOneBrand();
    void pagesFollowTheOffer_data();
    void pagesFollowTheOffer();
    void virtualPrintersKnowTheSameBrands();
};

void TestPrinterModels::modelKey_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("brand");
    QTest::addColumn<QString>("product");
    QTest::newRow("plain") << "Zurod RM-310 USB001"
                           << "Zurod RM-310 "
                           << "Zurod RM-310"
                           << "Zurod"
                           << "RM-310";
    QTest::newRow("product with a blank, path after the port") << "DVN DN816QX PRO USB004 (1-2.4)"
                                                               << "DVN DN816QX PRO "
                                                               << "DVN DN816QX PRO"
                                                               << "DVN"
                                                               << "DN816QX PRO";
    QTest::newRow("port 12") << "H&J HJ-WK650 USB0012"
                             << "H&J HJ-WK650 "
                             << "H&J HJ-WK650"
                             << "H&J"
                             << "HJ-WK650";
    QTest::newRow("no product string") << "Zurod  USB001"
                                       << "Zurod  "
                                       << "Zurod"
                                       << "Zurod"
                                       << "";
    QTest::newRow("USB in the product string") << "Orbeck USB-608K USB001"
                                               << "Orbeck "
                                               << "Orbeck"
                                               << "Orbeck"
                                               << "";
    QTest::newRow("no USB in the row") << "Zurod RM-310 "
                                       << ""
                                       << ""
                                       << ""
                                       << "";
}

void TestPrinterModels::modelKey()
{
    QFETCH(QString, row);
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(QString, brand);
    QFETCH(QString, product);
    const ModelKey key = ModelKey::ofRow(row);
    QCOMPARE(key.text(), text);
    QCOMPARE(key.name(), name);
    QCOMPARE(key.brand(), brand);
    QCOMPARE(key.product(), product);
    QCOMPARE(key.isEmpty(), text.isEmpty());
    // A profile names the model without the blanks; the key it gives is the row's.
    if (!name.isEmpty() && !product.isEmpty()) {
        QCOMPARE(ModelKey::named(name), key);
        QCOMPARE(ModelKey::of(brand, product), key);
    }
}

void TestPrinterModels::offerOfRow_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("offer");
    for (const char *model : {"Zurod RM-310", "Vantrell RM-320", "Zurod RM-320", "Vantrell RM-310"})
        QTest::addRow("%s", model) << QString(model) + " USB001"
                                   << "locked";
    for (const char *model : {"Zurod RW-604K", "Vantrell RW-604K", "Orbeck VS-608K", "H&J HJ-WK650",
                              "DVN DN816QX PRO", "DVN DN810QX PRO", "Orbeck OB-K900"})
        QTest::addRow("%s", model) << QString(model) + " USB003"
                                   << "extended";
    QTest::newRow("unlisted model") << "Zurod ZT-410 USB001"
                                    << "basic";
    QTest::newRow("brand in other letter case") << "zurod RM-310 USB001"
                                                << "basic";
    QTest::newRow("product in other letter case") << "Orbeck vs-608K USB001"
                                                  << "basic";
    QTest::newRow("model under another brand") << "Orbeck RM-310 USB001"
                                               << "basic";
    QTest::newRow("two blanks before USB") << "Zurod RM-310  USB001"
                                           << "basic";
    QTest::newRow("no USB in the row") << "Zurod RM-310 "
                                       << "basic";
    QTest::newRow("no product string") << "Zurod  USB001"
                                       << "basic";
    QTest::newRow("path after the port") << "Orbeck VS-608K USB004 (1-2.4)"
                                         << "extended";
    QTest::newRow("reason after the port") << "Zurod RM-310 USB001 - 没有打开权限"
                                           << "locked";
}

void TestPrinterModels::offerOfRow()
{
    QFETCH(QString, row);
    QFETCH(QString, offer);
    QCOMPARE(nameOf(modelgate::offerOf(ModelKey::ofRow(row))), offer);
}

// The table names no model beyond these, and each once.
void TestPrinterModels::tableNamesTheLockedAndExtendedModels()
{
    QMap<QString, QString> named;
    for (const supportedprinters::Brand &brand : supportedprinters::kBrands) {
        for (const supportedprinters::Model &model : brand.models) {
            const QString key = QStringLiteral("%1 %2").arg(brand.brand, model.product);
            QVERIFY2(!named.contains(key), qPrintable(key));
            named.insert(key, nameOf(model.offer));
        }
    }
    const QMap<QString, QString> expected = {
        {"Zurod RM-310", "locked"},      {"Vantrell RM-320", "locked"},
        {"Zurod RM-320", "locked"},      {"Vantrell RM-310", "locked"},
        {"Zurod RW-604K", "extended"},   {"Vantrell RW-604K", "extended"},
        {"Orbeck VS-608K", "extended"},  {"H&J HJ-WK650", "extended"},
        {"DVN DN816QX PRO", "extended"}, {"DVN DN810QX PRO", "extended"},
        {"Orbeck OB-K900", "extended"},
    };
    QCOMPARE(named, expected);
}

void TestPrinterModels::productIdsStandUnderOneBrand()
{
    QSet<quint16> seen;
    int ids = 0;
    for (const supportedprinters::Brand &brand : supportedprinters::kBrands) {
        for (std::uint16_t id : brand.productIds) {
            QVERIFY2(!seen.contains(id), qPrintable(QString::number(id, 16)));
            seen << id;
            ++ids;
            QCOMPARE(supportedprinters::brandOf(id), &brand);
        }
    }
    QCOMPARE(ids, 18);
    QCOMPARE(supportedprinters::brandOf(0x0400), nullptr);
}

void TestPrinterModels::pagesFollowTheOffer_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QStringList>("speeds");
    QTest::addColumn<bool>("printMethod");
    const QStringList basicPages = {"print", "distance", "serial", "wifi", "bluetooth", "wifi-ip"};
    QTest::newRow("locked") << "Vantrell RM-320 USB001" << QStringList() << QStringList() << false;
    QTest::newRow("basic") << "Zurod ZT-410 USB001" << basicPages << QStringList{"0", "1", "2", "3"}
                           << false;
    QTest::newRow("extended") << "DVN DN810QX PRO USB002" << basicPages + QStringList{"ethernet"}
                              << QStringList{"0", "1", "2", "3", "4", "5", "6", "7"} << true;
}

void TestPrinterModels::pagesFollowTheOffer()
{
    QFETCH(QString, row);
    QFETCH(QStringList, pages);
    QFETCH(QStringList, speeds);
    QFETCH(bool, printMethod);
    QStringList names;
    for (const auto &page : pages::pagesForModel(ModelKey::ofRow(row))) {
        names << page->name();
        if (page->name() != QLatin1String("print"))
            continue;
        bool method = false;
        for (const pages::KeyDescription &key : page->keys()) {
            if (key.key == QLatin1String("speed"))
                QCOMPARE(key.choices, speeds);
            method = method || key.key == QLatin1String("print-method");
        }
        QCOMPARE(method, printMethod);
    }
    QCOMPARE(names, pages);
}

// The virtual printer reports the manufacturer of its product ID from a table of its own (it
// stands for the device, not for the tool); the two must name the same brand for every ID.
void TestPrinterModels::virtualPrintersKnowTheSameBrands()
{
    int named = 0;
    for (int id = 0; id <= 0xFFFF; ++id) {
        const supportedprinters::Brand *brand = supportedprinters::brandOf(std::uint16_t(id));
        const std::string expected = brand ? brand->brand : "";
        const std::string simulated = vprinter::PrinterModel::brandForProductId(std::uint16_t(id));
        if (simulated != expected)
            QFAIL(qPrintable(
                QStringLiteral("product ID %1: the virtual printer says \"%2\", "
                               "the table \"%3\"")
                    .arg(id, 4, 16, QLatin1Char('0'))
                    .arg(QString::fromStdString(simulated), QString::fromStdString(expected))));
        named += brand ? 1 : 0;
    }
    QCOMPARE(named, 18);
}

QTEST_GUILESS_MAIN(TestPrinterModels)
#include "tst_printermodels.moc"
