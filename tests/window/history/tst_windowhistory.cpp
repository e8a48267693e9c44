// The window's history against virtual printers: a page write recorded with the values before and
// after, the "历史记录…" table of the selected printer and an undo after a question, and a journal
// that cannot be used never stopping a write.
#include "core/history/record.h"
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPointer>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <memory>

using vprinter::VirtualPrinter;

namespace {

const QString kSerial = QStringLiteral("ZR311P3"); // the VS-608K on port 3

QList<history::Entry> entriesOf(const QString &serial)
{
    QString why;
    history::Filter filter;
    filter.serial = serial;
    return history::entries(filter, why).value_or(QList<history::Entry>());
}

QStringList keyLines(const history::Entry &entry)
{
    QStringList lines;
    for (const history::ChangedKey &k : entry.action.keys)
        lines << QStringLiteral("%1 %2: %3 -> %4 %5")
                     .arg(k.page, k.key, k.before, k.after,
                          !k.kept   ? "unverified"
                          : *k.kept ? "kept"
                                    : "not kept");
    return lines;
}

// Answers the next history dialog: notes its rows, optionally selects the first and presses undo,
// then closes it.
class HistoryDriver : public QObject
{
public:
    explicit HistoryDriver(bool undo) : undo_(undo)
    {
        connect(&timer_, &QTimer::timeout, this, &HistoryDriver::poll);
        timer_.start(10);
    }
    QStringList rows;      // as first shown: number, time, action, outcome, keys
    QStringList rowsAfter; // after the undo
    bool undoEnabled = false;

private:
    static QStringList rowsOf(const QTableWidget *table)
    {
        QStringList out;
        for (int row = 0; table && row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columnCount(); ++column)
                cells << table->item(row, column)->text();
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
    void poll()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("historyDialog") ||
            !dialog->isVisible() || dialog == answered_)
            return;
        answered_ = dialog;
        auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("historyTable"));
        rows = rowsOf(table);
        auto *undo = dialog->findChild<QPushButton *>(QStringLiteral("undoAction"));
        if (undo_ && table && undo && table->rowCount() > 0) {
            table->selectRow(0);
            undoEnabled = undo->isEnabled();
            undo->click(); // the question and the result box are answered by the catcher
            rowsAfter = rowsOf(table);
        }
        dialog->reject();
    }
    bool undo_;
    QTimer timer_;
    QPointer<QDialog> answered_;
};

} // namespace

class TestWindowHistory : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pageWritesAreRecorded_data();
    void pageWritesAreRecorded();
    void historyTableAndUndo();
    void journalThatCannotBeUsed();

private:
    // Reads the print page of the printer on port 3 and writes it with the speed at `speed`.
    void writeSpeed(int speed);
    std::unique_ptr<WindowHarness> ui;
    VirtualPrinter *first = nullptr;
    std::unique_ptr<QTemporaryDir> state;
};

void TestWindowHistory::init()
{
    state = std::make_unique<QTemporaryDir>();
    qputenv("XDG_STATE_HOME", QFile::encodeName(state->path()));
    history::configure({true, false}); // as the program's main does
    ui = std::make_unique<WindowHarness>();
    history::onProblem([this](const QString &problem) { ui->window.showHistoryProblem(problem); });
    first = &ui->usb.addPrinter(0x1401, "VS-608K", 3);
    ui->usb.addPrinter(0x1401, "VS-608K", 5);
    QVERIFY(ui->selectPort(3));
}

void TestWindowHistory::cleanup()
{
    history::onProblem(nullptr);
    verifyNoViolations(ui->usb);
    ui.reset();
    history::configure({false, false});
    state.reset();
}

void TestWindowHistory::writeSpeed(int speed)
{
    ui->click("pushButton_13");
    ui->widget<QComboBox>("comboBox")->setCurrentIndex(speed);
    ui->boxes.clear();
    first->clearLogs();
    ui->click("pushButton_14");
}

void TestWindowHistory::pageWritesAreRecorded_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("edit"); // a line edit to type into
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("distance page") << "pushButton_31"
                                   << "pushButton_30"
                                   << "lineEdit_3"
                                   << "20" << QStringList{};
    QTest::newRow("Wi-Fi password masked")
        << "pushButton_17"
        << "pushButton_18"
        << "lineEdit_23"
        << "NewSecret1" << QStringList{"wifi station-password: (changed) -> (changed) unverified"};
    QTest::newRow("Wi-Fi network name") << "pushButton_17"
                                        << "pushButton_18"
                                        << "lineEdit_6"
                                        << "Shop-7"
                                        << QStringList{"wifi station-name: Office-WLAN -> Shop-7 "
                                                       "unverified"};
}

void TestWindowHistory::pageWritesAreRecorded()
{
    QFETCH(QString, read);
    QFETCH(QString, write);
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(QStringList, keys);
    ui->click(qPrintable(read));
    QLineEdit *field = ui->widget<QLineEdit>(qPrintable(edit));
    const QString before = field->text();
    field->setText(text);
    ui->boxes.clear();
    ui->click(qPrintable(write));
    QCOMPARE(ui->boxes.takeOne().text, QStringLiteral("设置成功"));
    const QList<history::Entry> entries = entriesOf(kSerial);
    QCOMPARE(entries.size(), 1);
    const history::Entry &e = entries.first();
    QCOMPARE(e.action.frontEnd, history::kWindow);
    QCOMPARE(e.kind, QString("write"));
    QCOMPARE(e.action.usbPath, QString("1-3"));
    QCOMPARE(e.action.model, QString("Orbeck VS-608K"));
    if (keys.isEmpty()) // the distance field's own key, whatever the page calls it
        keys << QStringLiteral("distance %1: %2 -> %3 unverified")
                    .arg(e.action.keys.value(0).key, before, text);
    QCOMPARE(keyLines(e), keys);
    QVERIFY(entriesOf(QStringLiteral("ZR311P5")).isEmpty());
}

void TestWindowHistory::historyTableAndUndo()
{
    writeSpeed(5);
    QCOMPARE(first->setting(0x00), vprinter::Bytes{0x05});
    // The page's frames, then the serial number's query for the history.
    QCOMPARE(receivedFrames(*first).last(), QString("1B FF FE 02 10 00 1B FE FF"));
    QCOMPARE(keyLines(entriesOf(kSerial).value(0)), QStringList{"print speed: 2 -> 5 unverified"});
    // A second write is recorded against what the first wrote.
    writeSpeed(6);
    QCOMPARE(keyLines(entriesOf(kSerial).value(0)), QStringList{"print speed: 5 -> 6 unverified"});

    ui->boxes.clear();
    HistoryDriver driver(true);
    QAction *history = ui->window.findChild<QAction *>(QStringLiteral("actionHistory"));
    QVERIFY(history);
    history->trigger();
    QCOMPARE(driver.rows.size(), 2);
    QVERIFY2(driver.rows.first().contains("speed：5 → 6"), qPrintable(driver.rows.first()));
    QVERIFY(driver.undoEnabled);
    // Asked first, naming the action; then the printer has the value from before it.
    QCOMPARE(ui->boxes.questions().size(), 1);
    QVERIFY(ui->boxes.questions().first().text.contains(
        QString::number(entriesOf(kSerial).value(1).id)));
    QCOMPARE(first->setting(0x00), vprinter::Bytes{0x05});
    QCOMPARE(driver.rowsAfter.size(), 3);
    const history::Entry undo = entriesOf(kSerial).value(0);
    QCOMPARE(undo.kind, QString("undo"));
    QCOMPARE(undo.action.frontEnd, history::kWindow);
    QCOMPARE(keyLines(undo), QStringList{"print speed: 6 -> 5 kept"});
}

void TestWindowHistory::journalThatCannotBeUsed()
{
    history::close();
    QVERIFY(QDir().mkpath(QFileInfo(history::journalPath()).path()));
    QFile corrupt(history::journalPath());
    QVERIFY(corrupt.open(QIODevice::WriteOnly));
    corrupt.write(QByteArray(8192, '\x33'));
    corrupt.close();
    writeSpeed(7);
    QCOMPARE(ui->boxes.takeOne().text, QStringLiteral("设置成功"));
    QCOMPARE(first->setting(0x00), vprinter::Bytes{0x07});
    const QString said = ui->window.statusBar()->currentMessage();
    QVERIFY2(said.contains(history::journalPath()), qPrintable(said));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestWindowHistory test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowhistory.moc"
