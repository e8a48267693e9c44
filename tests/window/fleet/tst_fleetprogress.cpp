// The window's apply to every printer of a model, side by side on printers that take real time to
// answer: a progress row per printer, and a Cancel that lets each printer finish the page in
// flight and stop before the next, which the rows and the result say.
#include "tests/support/filedialogdriver.h"
#include "tests/support/fleetprofile.h"
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"
#include "window/fleet/fleetprogress.h"

#include <QAction>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

using namespace std::chrono_literals;
using vprinter::VirtualPrinter;

namespace {

const int kPorts[] = {2, 3, 4, 5};

// Runs of set frames, one a page written (each page's write ends where its read-back begins).
int pagesWrittenOn(const VirtualPrinter &printer)
{
    int pages = 0;
    bool inPage = false;
    for (const vprinter::Bytes &frame : printer.bulkOutLog()) {
        const bool query = frame.size() > 3 && frame[3] == 0x02;
        pages += !query && !inPage ? 1 : 0;
        inPage = !query;
    }
    return pages;
}

// The saved profile with one value changed on every page: every page of every printer differs.
bool changeEveryPageOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QJsonObject document = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    document = changeEveryPage(document, false);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(QJsonDocument(document).toJson()) > 0;
}

} // namespace

class TestFleetProgress : public QObject
{
    Q_OBJECT
private slots:
    void cancelStopsEachPrinterAfterItsPage();
};

void TestFleetProgress::cancelStopsEachPrinterAfterItsPage()
{
    WindowHarness ui;
    for (int port : kPorts)
        ui.usb.addPrinter(0x1401, "VS-608K", port).setLatency(8ms);
    QTemporaryDir dir;
    const QString path = dir.filePath("fleet.json");
    ui.getList();
    {
        QVERIFY(ui.selectPort(2));
        FileDialogDriver driver(path);
        ui.window.findChild<QAction *>("actionSaveProfile")->trigger();
        ui.boxes.clear();
    }
    QVERIFY(changeEveryPageOf(path));
    for (VirtualPrinter *printer : ui.usb.devices())
        printer->clearLogs();

    // While the progress dialog is up: a row each, then Cancel once a printer has a page done.
    int rows = 0;
    bool cancelled = false;
    QStringList rowTexts;
    QTimer watch;
    watch.setInterval(5);
    connect(&watch, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<FleetProgressDialog *>(QApplication::activeModalWidget());
        if (!dialog || cancelled)
            return;
        const QList<QProgressBar *> bars = dialog->findChildren<QProgressBar *>();
        rows = bars.size();
        if (std::none_of(bars.begin(), bars.end(), [](QProgressBar *b) { return b->value() >= 1; }))
            return;
        connect(dialog, &QDialog::finished, this, [&, dialog] {
            for (int i = 0; i < rows; ++i)
                rowTexts << dialog->rowText(i);
        });
        cancelled = true;
        dialog->cancelButton()->click();
    });
    watch.start();
    FileDialogDriver files(path);
    ui.boxes.answer = QMessageBox::Yes;
    ui.window.findChild<QAction *>("actionApplyProfileToModel")->trigger();
    watch.stop();

    QVERIFY(cancelled);
    QCOMPARE(rows, 4);
    const QList<CaughtBox> boxes = ui.boxes.boxes();
    QCOMPARE(boxes.size(), 1);
    QStringList lines = boxes.first().text.split('\n');
    QVERIFY2(lines.takeLast().startsWith("4 台打印机："), qPrintable(boxes.first().text));
    const QRegularExpression stopped(
        "^(1-[2-5])  ZR311P[2-5]  已写入 (\\d) 个页面  已停止，未写入 (\\S+) 及之后的页面$");
    int stoppedLines = 0;
    for (const QString &line : lines) {
        const QRegularExpressionMatch m = stopped.match(line);
        if (!m.hasMatch())
            continue;
        ++stoppedLines;
        // Whole pages only: as many page writes reached the printer as the line counts.
        VirtualPrinter *printer = ui.usb.find(m.captured(1).toStdString());
        QVERIFY(printer);
        QCOMPARE(pagesWrittenOn(*printer), m.captured(2).toInt());
        QVERIFY2(rowTexts.contains("已停止，未写入 " + m.captured(3) + " 及之后的页面"),
                 qPrintable(rowTexts.join('\n')));
    }
    // Eight-millisecond answers: no printer was through its seven pages when Cancel came.
    QVERIFY2(stoppedLines == 4, qPrintable(boxes.first().text));
    QCOMPARE(boxes.first().icon, QMessageBox::Warning);
    verifyNoViolations(ui.usb);
}

QTEST_MAIN(TestFleetProgress)
#include "tst_fleetprogress.moc"
