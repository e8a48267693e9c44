// Starts the window as main does, in the system's language, and works it as a user would against
// the printers attached: "获取列表", the printer on the port asked for, its information and its
// print settings read. Then saves the window as a PNG file and, given a profile, compares the
// printer with it through the profile menu and saves the table of differences too; then quits.
//
//     screenshot PORT FILE [PROFILE TABLE-FILE]
#include "window/app/mainwindow.h"
#include "window/app/startup.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: screenshot PORT FILE [PROFILE TABLE-FILE]\n");
        return 2;
    }
    const QString suffix = QStringLiteral("USB00") + QString::fromLocal8Bit(argv[1]);
    const QString file = QString::fromLocal8Bit(argv[2]);
    const auto catalogues = startup::prepareApplication();
    MainWindow window;
    startup::showWindow(window);

    const QString profile = argc == 5 ? QString::fromLocal8Bit(argv[3]) : QString();
    const QString tableFile = argc == 5 ? QString::fromLocal8Bit(argv[4]) : QString();
    int status = 1;

    // Each read ends with a message box; it is closed as the user would close it. The file
    // dialog gets the profile's path typed in; the table of differences is saved and closed.
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            box->accept();
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(profile);
            QMetaObject::invokeMethod(files, "accept");
        } else if (auto *table = qobject_cast<QDialog *>(modal);
                   table && table->objectName() == QLatin1String("differenceDialog")) {
            status = table->grab().save(tableFile) ? 0 : 1;
            if (status != 0)
                std::fprintf(stderr, "screenshot: cannot write %s\n", argv[4]);
            table->reject();
        }
    });
    boxes.start(20);

    QTimer::singleShot(0, [&] {
        const auto click = [&](const char *button) {
            window.findChild<QPushButton *>(QLatin1String(button))->click();
        };
        // The tab first: changing tabs clears the printer selection.
        window.findChild<QTabWidget *>(QStringLiteral("tabWidget_2"))->setCurrentIndex(0);
        click("pushButton_6");
        auto *list = window.findChild<QListWidget *>(QStringLiteral("listWidget"));
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->text().endsWith(suffix))
                list->setCurrentRow(row);
        }
        if (list->currentRow() < 0) {
            std::fprintf(stderr, "screenshot: no printer on port %s\n", argv[1]);
            app.exit(1);
            return;
        }
        click("pushButton");
        click("pushButton_13");
        // Once the layouts have taken in what the reads changed.
        QTimer::singleShot(0, [&] {
            status = window.grab().save(file) ? 0 : 1;
            if (status != 0)
                std::fprintf(stderr, "screenshot: cannot write %s\n", argv[2]);
            if (status == 0 && !profile.isEmpty()) {
                status = 1; // until the table is saved
                window.findChild<QAction *>(QStringLiteral("actionCompareProfile"))->trigger();
            }
            app.exit(status);
        });
    });
    app.exec();
    return status;
}
