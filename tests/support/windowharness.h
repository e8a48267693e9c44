#pragma once

#include "window/app/mainwindow.h"
#include "window/app/selectedprinter.h"
#include "sim/virtualusb.h"
#include "tests/support/messageboxcatcher.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QTest>

// The real main window with virtual printers attached, driven the way a user drives it: press
// "获取列表", pick a row, press a button by its object name. Every message box is recorded and
// closed by `boxes`.
class WindowHarness
{
public:
    WindowHarness() { window.show(); }

    // The printers are plugged in before the test presses any button.
    vprinter::VirtualUsb usb;
    MainWindow window;
    MessageBoxCatcher boxes;

    template <typename T = QWidget> T *widget(const char *objectName)
    {
        T *w = window.findChild<T *>(QString::fromLatin1(objectName));
        if (!w)
            QTest::qFail(qPrintable(QStringLiteral("no widget %1").arg(objectName)), __FILE__,
                         __LINE__);
        return w;
    }

    QListWidget *list() { return widget<QListWidget>("listWidget"); }
    QString text(const char *lineEdit) { return widget<QLineEdit>(lineEdit)->text(); }

    // Clicks the button as the mouse would; the button's slot runs before this returns.
    void click(const char *button)
    {
        QPushButton *b = widget<QPushButton>(button);
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center());
    }

    void getList() { click("pushButton_6"); }

    // Presses "获取列表" and selects the row of the printer on that port.
    bool selectPort(int port)
    {
        getList();
        const QString suffix = QStringLiteral("USB00%1").arg(port);
        for (int row = 0; row < list()->count(); ++row) {
            if (list()->item(row)->text().endsWith(suffix)) {
                list()->setCurrentRow(row);
                return true;
            }
        }
        return false;
    }

    // The row of the printer at that USB path ("1-2.4"); -1 when none is listed.
    int rowOf(const QString &path)
    {
        for (int row = 0; row < list()->count(); ++row) {
            if (SelectedPrinter::identityOf(list()->item(row)).path() == path)
                return row;
        }
        return -1;
    }
};
