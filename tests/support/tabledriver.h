#pragma once

#include <QApplication>
#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

// Answers the next difference table: notes its rows ("page key printer file", read-only rows
// marked) and presses the write button, or cancels.
class TableDriver : public QObject
{
public:
    explicit TableDriver(bool write) : write_(write)
    {
        connect(&timer_, &QTimer::timeout, this, &TableDriver::poll);
        timer_.start(10);
    }
    QStringList rows;
    int shown = 0;

private:
    void poll()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("differenceDialog") ||
            !dialog->isVisible() || dialog == answered_)
            return;
        answered_ = dialog;
        ++shown;
        const auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("differenceTable"));
        for (int row = 0; table && row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columnCount(); ++column)
                cells << table->item(row, column)->text();
            rows << cells.join(' ') +
                        (table->item(row, 0)->toolTip().isEmpty() ? "" : " (read-only)");
        }
        auto *write = dialog->findChild<QPushButton *>(QStringLiteral("writeDifferingPages"));
        if (write_ && write)
            write->click();
        else
            dialog->reject();
    }
    bool write_;
    QTimer timer_;
    QPointer<QDialog> answered_;
};
