#pragma once

#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"

// Checks every settings page's window test makes alike, on a printer already selected.
namespace pagechecks {

const QString kSucceeded = QStringLiteral("获取成功");
const QString kSetSucceeded = QStringLiteral("设置成功");
const QString kNotConnected = QStringLiteral("请确保打印机已通过usb进行连接");

// A class-02 query frame, and a class-01 set frame around "code n payload" written in hex.
inline QString query(int code) { return QString::asprintf("1B FF FE 02 %02X 00 1B FE FF", code); }
inline QString set(const char *codeAndPayload)
{
    return QStringLiteral("1B FF FE 01 %1 1B FE FF").arg(QLatin1String(codeAndPayload));
}

// Reads the page, types `text` into `edit` and presses the write button: the write is refused
// with a warning box of `message`, and nothing reaches the printer.
inline void refusedWrite(WindowHarness &ui, vprinter::VirtualPrinter &printer, const QString &read,
                         const QString &write, const QString &edit, const QString &text,
                         const QString &message)
{
    ui.click(qPrintable(read));
    ui.boxes.clear();
    ui.widget<QLineEdit>(qPrintable(edit))->setText(text);
    printer.clearLogs();
    ui.click(qPrintable(write));
    const CaughtBox box = ui.boxes.takeOne();
    QCOMPARE(box.icon, QMessageBox::Warning);
    QCOMPARE(box.text, message);
    QVERIFY(printer.bulkOutLog().empty());
}

// The printer fails exactly exchange k of the read (or, after a read, of the write) with
// `faults`: the connection box shows, and every other exchange of the sequence still happened.
inline void failedExchange(WindowHarness &ui, vprinter::VirtualPrinter &printer,
                           const QString &read, const QString &write, int exchanges, int k,
                           const vprinter::Faults &faults)
{
    if (!write.isEmpty()) {
        ui.click(qPrintable(read));
        QCOMPARE(ui.boxes.takeOne().text, kSucceeded);
    }
    printer.clearLogs();
    printer.setFaultsForExchange(k, faults);
    ui.click(qPrintable(write.isEmpty() ? read : write));
    QCOMPARE(ui.boxes.takeOne().text, kNotConnected);
    QCOMPARE(receivedFrames(printer).size(), exchanges - 1);
}

} // namespace pagechecks
