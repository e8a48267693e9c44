// Starts the window as main does, in the system's language, and works it as a user would against
// the printers attached: "获取列表", the printer on the port asked for, its information and its
// print settings read. Then saves the window as a PNG file and quits.
//
//     screenshot PORT FILE
#include "app/mainwindow.h"
#include "app/startup.h"

#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: screenshot PORT FILE\n");
        return 2;
    }
    const QString suffix = QStringLiteral("USB00") + QString::fromLocal8Bit(argv[1]);
    const QString file = QString::fromLocal8Bit(argv[2]);
    const auto catalogues = startup::prepareApplication();
    MainWindow window;
    startup::showWindow(window);

    // Each read ends with a message box; it is closed as the user would close it.
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->accept();
    });
    boxes.start(20);

    int status = 1;
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
            app.exit(status);
        });
    });
    app.exec();
    return status;
}
