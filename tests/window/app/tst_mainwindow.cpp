// The main window's own behaviour: its slot table, the tab switch and the selection check that
// every printer slot starts with.
#include "window/app/mainwindow.h"
#include "window/app/messages.h"
#include "window/app/startup.h"
#include "tests/support/messageboxcatcher.h"

#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void slotOrder_data();
    void slotOrder();
    void tabSwitchClearsSelection_data();
    void tabSwitchClearsSelection();
    void printerSlotNeedsSelection_data();
    void printerSlotNeedsSelection();
    void applicationFontMatchesTheForm();
    void resultBox_data();
    void resultBox();
};

void TestMainWindow::slotOrder_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("name");
    const char *names[] = {
        "on_pushButton_clicked",
        "CloseMessage",
        "onTabChanged",
        "on_pushButton_27_clicked",
        "on_pushButton_25_clicked",
        "on_pushButton_23_clicked",
        "on_pushButton_17_clicked",
        "on_pushButton_13_clicked",
        "on_pushButton_14_clicked",
        "on_pushButton_18_clicked",
        "on_pushButton_24_clicked",
        "on_pushButton_26_clicked",
        "on_pushButton_28_clicked",
        "on_pushButton_5_clicked",
        "on_pushButton_4_clicked",
        "on_pushButton_2_clicked",
        "on_pushButton_8_clicked",
        "on_pushButton_7_clicked",
        "on_pushButton_10_clicked",
        "on_pushButton_9_clicked",
        "on_pushButton_3_clicked",
        "on_pushButton_11_clicked",
        "on_pushButton_12_clicked",
        "on_pushButton_29_clicked",
        "on_pushButton_21_clicked",
        "on_pushButton_20_clicked",
        "on_pushButton_19_clicked",
        "on_pushButton_16_clicked",
        "on_pushButton_15_clicked",
        "on_pushButton_6_clicked",
        "on_pushButton_22_clicked",
        "on_pushButton_31_clicked",
        "on_pushButton_30_clicked",
        "on_pushButton_33_clicked",
        "on_pushButton_32_clicked",
        "on_pushButton_34_clicked",
        "on_pushButton_35_clicked",
    };
    for (int i = 0; i < int(std::size(names)); ++i)
        QTest::addRow("%d %s", i, names[i]) << i << QByteArray(names[i]);
}

void TestMainWindow::slotOrder()
{
    QFETCH(int, index);
    QFETCH(QByteArray, name);
    const QMetaObject &meta = MainWindow::staticMetaObject;
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 37);
    const QMetaMethod method = meta.method(meta.methodOffset() + index);
    QCOMPARE(method.name(), name);
    QCOMPARE(method.methodType(), QMetaMethod::Slot);
    QCOMPARE(method.parameterCount(), 0);
}

void TestMainWindow::tabSwitchClearsSelection_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("maintenance to settings") << 2 << 0;
    QTest::newRow("settings to functions") << 0 << 1;
    QTest::newRow("functions to maintenance") << 1 << 2;
}

void TestMainWindow::tabSwitchClearsSelection()
{
    QFETCH(int, from);
    QFETCH(int, to);
    MainWindow window;
    auto *list = window.findChild<QListWidget *>("listWidget");
    auto *tabs = window.findChild<QTabWidget *>("tabWidget_2");
    QVERIFY(list && tabs);
    tabs->setCurrentIndex(from);
    list->addItems({"Foo RX-1 USB001", "Foo RX-2 USB002"});
    list->setCurrentRow(1);
    QCOMPARE(list->currentRow(), 1);
    tabs->setCurrentIndex(to);
    QCOMPARE(list->currentRow(), -1);
    QCOMPARE(list->count(), 2);
}

void TestMainWindow::printerSlotNeedsSelection_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("rows");
    for (const char *button :
         {"pushButton", "pushButton_15", "pushButton_13", "pushButton_4", "pushButton_34"}) {
        QTest::addRow("%s, empty list", button) << button << false;
        QTest::addRow("%s, rows but none selected", button) << button << true;
    }
}

void TestMainWindow::printerSlotNeedsSelection()
{
    QFETCH(QString, button);
    QFETCH(bool, rows);
    MainWindow window;
    window.show();
    auto *list = window.findChild<QListWidget *>("listWidget");
    auto *target = window.findChild<QPushButton *>(button);
    QVERIFY(list && target);
    if (rows) {
        list->addItems({"Zurod RM-310 USB001", "Orbeck VS-608K USB003"});
        list->setCurrentRow(-1);
    }
    target->setEnabled(true);
    // The button may sit on a hidden tab; the click is what the user's press emits.
    MessageBoxCatcher catcher;
    target->click();
    const CaughtBox box = catcher.takeOne();
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.title, QStringLiteral("设置工具"));
    QCOMPARE(box.text, QStringLiteral("请先选中打印列表中的打印机"));
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The call names no default button, so Qt makes the Ok button the default.
    QCOMPARE(box.defaultButton, QMessageBox::Ok);
}

void TestMainWindow::applicationFontMatchesTheForm()
{
    // main gives the application the form's size so that building the form changes no font.
    MainWindow window;
    QCOMPARE(window.font().pointSize(), startup::kFormPointSize);
}

void TestMainWindow::resultBox_data()
{
    QTest::addColumn<bool>("read");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("text");
    const QString connect = QStringLiteral("请确保打印机已通过usb进行连接");
    QTest::newRow("read succeeded") << true << 0 << "获取成功";
    QTest::newRow("write succeeded") << false << 0 << "设置成功";
    QTest::newRow("read, transfer failed") << true << 4 << connect;
    QTest::newRow("write, transfer failed") << false << 4 << connect;
    // A printer that could not be opened or claimed did not do what was asked either.
    QTest::newRow("read, not opened") << true << 5 << connect;
    QTest::newRow("write, not opened") << false << 5 << connect;
    QTest::newRow("libusb error") << true << -4 << connect;
    // A frame too long for its length byte never reached the printer; it is not a cable fault.
    QTest::newRow("frame refused") << false << 6 << "数据过长，无法发送给打印机，未完成设置";
}

void TestMainWindow::resultBox()
{
    QFETCH(bool, read);
    QFETCH(int, result);
    QFETCH(QString, text);
    MainWindow window;
    MessageBoxCatcher catcher;
    messages::showResult(&window, read ? messages::SlotKind::Read : messages::SlotKind::Write,
                         result);
    const CaughtBox box = catcher.takeOne();
    QCOMPARE(box.title, QStringLiteral("设置工具"));
    QCOMPARE(box.text, text);
}

#include "tst_mainwindow.moc"
QObject *createTestMainWindow() { return new TestMainWindow; }
