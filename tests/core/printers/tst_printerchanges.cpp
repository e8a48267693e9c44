// What changed between two lists of the printers attached: the printers that left (and where
// they stood) and those that arrived, a printer known by its path and its address on the bus.
#include "core/printers/printerchanges.h"

#include <QTest>

namespace {

// "1-2.4@7" is the printer at path 1-2.4 with address 7; ":denied" after it lists it as a
// printer the user may not open, "=NAME" gives its product string. Printers are separated by
// blanks.
QList<ListedPrinter> printers(const QString &text)
{
    QList<ListedPrinter> list;
    for (QString word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        ListedPrinter p;
        p.brand = QStringLiteral("Orbeck");
        p.product = QStringLiteral("VS-608K");
        if (word.endsWith(QLatin1String(":denied"))) {
            p.access = PrinterAccess::NoPermission;
            word.chop(7);
        }
        if (word.contains(QLatin1Char('='))) {
            p.product = word.section(QLatin1Char('='), 1);
            word = word.section(QLatin1Char('='), 0, 0);
        }
        p.identity = *PrinterIdentity::parse(word.section(QLatin1Char('@'), 0, 0));
        p.port = p.identity.port();
        p.address = word.section(QLatin1Char('@'), 1).toInt();
        list << p;
    }
    return list;
}

QString text(const QList<ListedPrinter> &list)
{
    QStringList words;
    for (const ListedPrinter &p : list)
        words << QStringLiteral("%1@%2").arg(p.identity.path()).arg(p.address);
    return words.join(QLatin1Char(' '));
}

} // namespace

class TestPrinterChanges : public QObject
{
    Q_OBJECT
private slots:
    void changes_data();
    void changes();
};

void TestPrinterChanges::changes_data()
{
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("now");
    QTest::addColumn<QList<int>>("leftRows");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("arrived");
    QTest::newRow("nothing attached") << ""
                                      << "" << QList<int>{} << ""
                                      << "";
    QTest::newRow("nothing changed") << "1-1@5 1-3@6"
                                     << "1-1@5 1-3@6" << QList<int>{} << ""
                                     << "";
    QTest::newRow("other order, same printers") << "1-1@5 1-3@6"
                                                << "1-3@6 1-1@5" << QList<int>{} << ""
                                                << "";
    QTest::newRow("first printer") << ""
                                   << "1-3@6" << QList<int>{} << ""
                                   << "1-3@6";
    QTest::newRow("arrivals in the new list's order") << "1-1@5"
                                                      << "1-4@9 1-1@5 1-2.4@8" << QList<int>{} << ""
                                                      << "1-4@9 1-2.4@8";
    QTest::newRow("last printer left") << "1-3@6"
                                       << "" << QList<int>{0} << "1-3@6"
                                       << "";
    QTest::newRow("departures in the last list's order")
        << "1-1@5 1-2@4 1-3@6 1-4@7"
        << "1-2@4" << QList<int>{0, 2, 3} << "1-1@5 1-3@6 1-4@7"
        << "";
    QTest::newRow("one left, another arrived") << "1-1@5 1-3@6"
                                               << "1-3@6 1-5@10" << QList<int>{0} << "1-1@5"
                                               << "1-5@10";
    // The same socket, a new address: pulled out and plugged in again.
    QTest::newRow("re-plugged") << "1-1@5 1-3@6"
                                << "1-1@5 1-3@11" << QList<int>{1} << "1-3@6"
                                << "1-3@11";
    // The same address on another bus path is another printer.
    QTest::newRow("same address behind a hub") << "1-2@5"
                                               << "1-2.1@5" << QList<int>{0} << "1-2@5"
                                               << "1-2.1@5";
    QTest::newRow("same path on another bus") << "1-2@5"
                                              << "2-2@5" << QList<int>{0} << "1-2@5"
                                              << "2-2@5";
    // Identity, not what the row shows: a printer that became usable neither left nor arrived.
    QTest::newRow("state changed") << "1-3@6:denied"
                                   << "1-3@6" << QList<int>{} << ""
                                   << "";
    QTest::newRow("name changed") << "1-3@6=VS-608K"
                                  << "1-3@6=OB-K900" << QList<int>{} << ""
                                  << "";
}

void TestPrinterChanges::changes()
{
    QFETCH(QString, last);
    QFETCH(QString, now);
    QFETCH(QList<int>, leftRows);
    QFETCH(QString, left);
    QFETCH(QString, arrived);
    const QList<ListedPrinter> lastList = printers(last);
    const PrinterChanges changes = printerChanges(lastList, printers(now));
    QCOMPARE(changes.leftRows, leftRows);
    QCOMPARE(text(changes.left), left);
    QCOMPARE(text(changes.arrived), arrived);
    QCOMPARE(changes.isEmpty(), left.isEmpty() && arrived.isEmpty());
    for (int i = 0; i < changes.leftRows.size(); ++i)
        QVERIFY(lastList[changes.leftRows[i]].sameDevice(changes.left[i]));
}

QTEST_GUILESS_MAIN(TestPrinterChanges)
#include "tst_printerchanges.moc"
