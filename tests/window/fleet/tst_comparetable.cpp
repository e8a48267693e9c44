// The profile menu's comparison against virtual printers: a profile checked as an apply checks
// it, and the table in the form's own words, with passwords and the PIN masked.
#include "core/settings/settingspage.h"
#include "tests/support/filedialogdriver.h"
#include "tests/support/tabledriver.h"
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"
#include "window/fleet/formnames.h"

#include <QAction>
#include <QTemporaryDir>
#include <memory>

using vprinter::VirtualPrinter;

class TestCompareTable : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyKeyHasItsFieldAndLabel();
    void comparesInTheFormsWords_data();
    void comparesInTheFormsWords();

private:
    std::unique_ptr<WindowHarness> ui;
    VirtualPrinter *first = nullptr;  // VS-608K on port 3: compared
    VirtualPrinter *second = nullptr; // VS-608K on port 5: the profile's source
    QTemporaryDir dir;
};

void TestCompareTable::init()
{
    ui = std::make_unique<WindowHarness>();
    first = &ui->usb.addPrinter(0x1401, "VS-608K", 3);
    second = &ui->usb.addPrinter(0x1401, "VS-608K", 5);
    QVERIFY(QDir(dir.path()).removeRecursively() && QDir().mkpath(dir.path()));
}

void TestCompareTable::cleanup()
{
    verifyNoViolations(ui->usb);
    ui.reset();
}

void TestCompareTable::everyKeyHasItsFieldAndLabel()
{
    const FormNames names(&ui->window);
    QStringList titles;
    for (const auto &page : pages::pagesWith(pages::Features::Extended)) {
        const QString title = names.pageTitle(page->name());
        QVERIFY2(title != page->name(), qPrintable(page->name()));
        QVERIFY2(!titles.contains(title), qPrintable(title));
        titles << title;
        QStringList labels;
        for (const pages::KeyDescription &key : page->keys()) {
            const QString where = page->name() + ' ' + key.key;
            QVERIFY2(names.fieldOf(page->name(), key.key), qPrintable(where));
            const QString label = names.fieldLabel(page->name(), key.key);
            QVERIFY2(label != key.key && !label.isEmpty(), qPrintable(where));
            QVERIFY2(!label.endsWith(QChar(0xFF1A)) && !label.endsWith(':'), qPrintable(label));
            labels << label;
            // Each choice shows as an item of the form's list.
            for (const QString &choice : key.choices)
                QVERIFY2(!names.shownValue(page->name(), key.key, choice).isEmpty(),
                         qPrintable(where + '=' + choice));
        }
        labels.removeDuplicates();
        QCOMPARE(labels.size(), int(page->keys().size()));
    }
}

void TestCompareTable::comparesInTheFormsWords_data()
{
    QTest::addColumn<QByteArray>("edit");  // "from=>to" in the saved profile's text
    QTest::addColumn<bool>("accept");      // the answer to a question about another model
    QTest::addColumn<QStringList>("rows"); // the table's counted rows; none: no table
    QTest::addColumn<QString>("box");      // a box instead of the table
    // The print method is "打印设置" in the form, as its label says.
    const QStringList differing = {"打印设置 打印速度 2 5", "打印设置 打印设置 热敏 热转印"};
    QTest::newRow("labels and shown values") << QByteArray() << true << differing << "";
    QTest::newRow("a password, masked")
        << QByteArray(R"("ap-password": "=>"ap-password": "x)") << true
        << differing + QStringList{"wifi设置 AP模式 wifi密码 (不同) (不同)"} << "";
    const QByteArray otherModel = R"("model": "Orbeck VS-608K"=>"model": "Orbeck VS-608")";
    QTest::newRow("another model, declined") << otherModel << false << QStringList() << "";
    QTest::newRow("another model, accepted") << otherModel << true << differing << "";
    QTest::newRow("a file an apply refuses") << QByteArray(R"("speed": =>"sped": )") << true
                                             << QStringList() << "页面“print”没有设置项“sped”";
}

void TestCompareTable::comparesInTheFormsWords()
{
    QFETCH(QByteArray, edit);
    QFETCH(bool, accept);
    QFETCH(QStringList, rows);
    QFETCH(QString, box);
    second->setSetting(0x00, {0x05}); // speed 5
    second->setSetting(0x41, {0x01}); // thermal transfer
    const QString path = dir.filePath("second.json");
    {
        QVERIFY(ui->selectPort(5));
        FileDialogDriver driver(path);
        ui->window.findChild<QAction *>("actionSaveProfile")->trigger();
        ui->boxes.clear();
    }
    if (!edit.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray text = file.readAll();
        file.close();
        const QByteArray from = edit.left(edit.indexOf("=>")),
                         to = edit.mid(edit.indexOf("=>") + 2);
        QVERIFY2(text.contains(from), text.constData());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                file.write(text.replace(from, to)) > 0);
    }
    QVERIFY(ui->selectPort(3));
    first->clearLogs();
    ui->boxes.answer = accept ? QMessageBox::Yes : QMessageBox::No;
    FileDialogDriver files(path);
    TableDriver table(false);
    ui->window.findChild<QAction *>("actionCompareProfile")->trigger();

    const bool otherModel = edit.contains("VS-608\"");
    QCOMPARE(ui->boxes.questions().size(), otherModel ? 1 : 0);
    if (otherModel)
        QCOMPARE(ui->boxes.questions().first().text,
                 QStringLiteral("配置文件来自另一型号（Orbeck VS-608），本打印机是 Orbeck VS-608K。"
                                "\n\n是否继续？"));
    QCOMPARE(table.shown, rows.isEmpty() ? 0 : 1);
    QCOMPARE(table.rows.mid(0, rows.size()), rows);
    // The read-only keys after them, in the form's words too (the serial numbers differ).
    for (const QString &row : table.rows.mid(rows.size()))
        QVERIFY2(row.endsWith("(read-only)"), qPrintable(row));
    if (!rows.isEmpty())
        QVERIFY2(table.rows.filter(QRegularExpression("^\\S+ 设备SN号 ZR311P3 ZR311P5")).size() ==
                     1,
                 qPrintable(table.rows.join('\n')));
    QCOMPARE(ui->boxes.boxes().size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty())
        QVERIFY2(ui->boxes.takeOne().text.contains(box), qPrintable(box));
    QVERIFY(setFrames(*first).isEmpty());
}

QObject *createTestCompareTable() { return new TestCompareTable; }

#include "tst_comparetable.moc"
