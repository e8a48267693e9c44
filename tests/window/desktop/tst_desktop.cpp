// The tool as a desktop program, against virtual printers: Qt's own texts in the user's language,
// controls the model does not offer saying so, the status line naming the selected printer, and
// the code pages of the print settings going out by their index.
#include "core/base/translation.h"
#include "cli/cli.h"
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <QToolBox>

namespace {

const QString kNotOffered = QStringLiteral("此机型不支持此功能");

// The controls the model-support gate may turn off: the two settings tabs, the Ethernet page of
// the tool box, and widgets by name. Its tooltip, and whether the gate left it on.
struct Control {
    QString tip;
    bool enabled = false;
};

Control controlNamed(WindowHarness &ui, const QString &name)
{
    auto *tabs = ui.widget<QTabWidget>("tabWidget_2");
    auto *box = ui.widget<QToolBox>("toolBox");
    if (name.startsWith("tab "))
        return {tabs->tabToolTip(name.mid(4).toInt()), tabs->isTabEnabled(name.mid(4).toInt())};
    if (name.startsWith("page "))
        return {box->itemToolTip(name.mid(5).toInt()), box->isItemEnabled(name.mid(5).toInt())};
    QWidget *w = ui.widget<QWidget>(qPrintable(name));
    // Its own state: a disabled tab disables what it holds, too.
    return {w->toolTip(), !w->testAttribute(Qt::WA_ForceDisabled)};
}

// Presses "获取列表" and selects the printer of that port.
void select(WindowHarness &ui, int port)
{
    if (!ui.selectPort(port))
        QTest::qFail(qPrintable(QStringLiteral("no row for port %1").arg(port)), __FILE__,
                     __LINE__);
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT
private slots:
    void qtTextsInChinese();
    void gatedControlsSayWhy_data();
    void gatedControlsSayWhy();
    void statusLine_data();
    void statusLine();
    void codePageSentByIndex_data();
    void codePageSentByIndex();
};

void TestDesktop::qtTextsInChinese()
{
    const translation::Catalogues catalogues(QLocale(QLocale::Chinese, QLocale::China));
    QVERIFY2(catalogues.qtInstalled(), "Qt's Chinese catalogue (qttranslations5-l10n) not found");
    QVERIFY(!catalogues.oursInstalled());

    // The command line's parser.
    QString out, err;
    {
        QTextStream outStream(&out), errStream(&err);
        QCOMPARE(cli::run({"--frobnicate", "list"}, outStream, errStream), int(cli::UsageError));
    }
    QCOMPARE(err, QStringLiteral("未知选项“frobnicate”。\n"));

    WindowHarness ui;
    ui.usb.addPrinter(0x1401, "VS-608K", 3);
    // A message box: no printer selected yet.
    ui.click("pushButton_13");
    QCOMPARE(ui.boxes.takeOne().buttonTexts, QStringList{"确定"});

    // The file dialog of the firmware download, cancelled once its texts are read.
    select(ui, 3);
    QStringList dialogTexts;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || !dialogTexts.isEmpty())
            return;
        for (const QAbstractButton *b : dialog->findChild<QDialogButtonBox *>()->buttons())
            dialogTexts << b->text();
        dialogTexts << dialog->findChild<QLabel *>("lookInLabel")->text()
                    << dialog->findChild<QLabel *>("fileNameLabel")->text();
        dialog->reject();
    });
    poll.start(10);
    ui.click("pushButton_34");
    dialogTexts.sort();
    QCOMPARE(dialogTexts, (QStringList{"取消", "打开(&O)", "文件名称(&N)：", "查找范围："}));
    QCOMPARE(ui.boxes.boxes().size(), 0);
}

void TestDesktop::gatedControlsSayWhy_data()
{
    QTest::addColumn<QList<int>>("productIds"); // selected in this order, each on its own port
    QTest::addColumn<QStringList>("products");
    QTest::addColumn<QStringList>("gated");
    const QStringList lockedGate = {"tab 0",  "tab 1",      "pushButton_35",
                                    "page 5", "comboBox_9", "label_41"};
    QTest::newRow("locked: Zurod RM-310")
        << QList<int>{0x0411} << QStringList{"RM-310"} << lockedGate;
    QTest::newRow("unlisted: DVN DN700") << QList<int>{0x0502} << QStringList{"DN700"}
                                         << QStringList{"page 5", "comboBox_9", "label_41"};
    QTest::newRow("extended: Orbeck VS-608K")
        << QList<int>{0x1401} << QStringList{"VS-608K"} << QStringList();
    QTest::newRow("locked, then extended")
        << QList<int>{0x0411, 0x1401} << QStringList{"RM-310", "VS-608K"} << QStringList();
}

void TestDesktop::gatedControlsSayWhy()
{
    QFETCH(QList<int>, productIds);
    QFETCH(QStringList, products);
    QFETCH(QStringList, gated);
    WindowHarness ui;
    for (int i = 0; i < productIds.size(); ++i)
        ui.usb.addPrinter(uint16_t(productIds[i]), products[i].toStdString(), i + 1);
    for (int i = 0; i < productIds.size(); ++i)
        select(ui, i + 1);
    for (const QString name :
         {"tab 0", "tab 1", "pushButton_35", "page 5", "comboBox_9", "label_41"}) {
        const Control control = controlNamed(ui, name);
        QCOMPARE(control.tip, gated.contains(name) ? kNotOffered : QString());
        QVERIFY2(control.enabled != gated.contains(name), qPrintable(name));
    }
}

void TestDesktop::statusLine_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("line");
    const QString orbeck = "已选打印机：Orbeck VS-608K，USB路径 1-3";
    QTest::newRow("selected") << QStringList{"select 3"} << orbeck;
    QTest::newRow("information read")
        << QStringList{"select 3", "read"} << orbeck + "，版本 V2.3.1 20240315";
    QTest::newRow("another printer after the read")
        << QStringList{"select 3", "read", "select 12"} << "已选打印机：Zurod RM-310，USB路径 1-12";
    QTest::newRow("tab switched") << QStringList{"select 3", "tab"} << QString();
    QTest::newRow("list fetched again") << QStringList{"select 3", "list"} << QString();
}

void TestDesktop::statusLine()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, line);
    WindowHarness ui;
    ui.usb.addPrinter(0x1401, "VS-608K", 3);
    ui.usb.addPrinter(0x0411, "RM-310", 12);
    for (const QString &step : steps) {
        if (step.startsWith("select "))
            select(ui, step.mid(7).toInt());
        else if (step == "read")
            ui.click("pushButton");
        else if (step == "tab")
            ui.widget<QTabWidget>("tabWidget_2")->setCurrentIndex(1);
        else if (step == "list")
            ui.getList();
    }
    ui.boxes.clear();
    auto *shown = ui.window.findChild<QLabel *>("printerLine");
    QVERIFY(shown);
    QVERIFY(ui.window.statusBar()->isAncestorOf(shown));
    QCOMPARE(shown->text(), line);
}

void TestDesktop::codePageSentByIndex_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("frame");
    QTest::newRow("Baltic Rim") << "30 WPC1257(Baltic Rim)"
                                << "1B FF FE 01 01 01 1E 1B FE FF";
    QTest::newRow("Turkish") << "31 WPC1254(Turkish)"
                             << "1B FF FE 01 01 01 1F 1B FE FF";
    QTest::newRow("Turkey") << "34 PC857(Turkey)"
                            << "1B FF FE 01 01 01 22 1B FE FF";
}

void TestDesktop::codePageSentByIndex()
{
    QFETCH(QString, item);
    QFETCH(QString, frame);
    WindowHarness ui;
    vprinter::VirtualPrinter &printer = ui.usb.addPrinter(0x1401, "VS-608K", 3);
    select(ui, 3);
    ui.click("pushButton_13");
    auto *codePages = ui.widget<QComboBox>("comboBox_15");
    codePages->setCurrentIndex(codePages->findText(item));
    QVERIFY(codePages->currentIndex() >= 0);
    printer.clearLogs();
    ui.click("pushButton_14");
    QCOMPARE(ui.boxes.boxes().last().text, QStringLiteral("设置成功"));
    QCOMPARE(receivedFrames(printer).first(), frame);
}

QObject *createTestDesktop() { return new TestDesktop; }

#include "tst_desktop.moc"
