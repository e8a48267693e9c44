#include "window/fleet/differencedialog.h"

#include "window/fleet/formnames.h"
#include <QCoreApplication>

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

// The dialog belongs to the main window's profile menu and shares its translation context.
DifferenceDialog::DifferenceDialog(QWidget *parent, const QString &heading,
                                   const QList<profile::Difference> &differences, Purpose purpose)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("differenceDialog"));
    setWindowTitle(QCoreApplication::translate("MainWindow", "打印机与配置文件的差异"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(heading, this);
    label->setObjectName(QStringLiteral("differenceHeading"));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);

    auto *table = new QTableWidget(0, 4, this);
    table->setObjectName(QStringLiteral("differenceTable"));
    table->setHorizontalHeaderLabels({QCoreApplication::translate("MainWindow", "页面"),
                                      QCoreApplication::translate("MainWindow", "键"),
                                      QCoreApplication::translate("MainWindow", "打印机中的值"),
                                      QCoreApplication::translate("MainWindow", "文件中的值")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    // What counts first; the read-only keys after it.
    QList<profile::Difference> ordered;
    for (bool readOnly : {false, true}) {
        for (const profile::Difference &d : differences) {
            if (d.readOnly == readOnly)
                ordered << d;
        }
    }
    // Named as the form names them; a password or the PIN only as differing.
    const FormNames names(parent);
    const auto shown = [&](const profile::Difference &d, const QString &value) {
        return d.secret ? QObject::tr("(不同)") : names.shownValue(d.page, d.key, value);
    };
    for (const profile::Difference &d : ordered) {
        const int row = table->rowCount();
        table->insertRow(row);
        const QStringList cells{names.pageTitle(d.page), names.fieldLabel(d.page, d.key),
                                shown(d, d.one), shown(d, d.other)};
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (d.readOnly) {
                item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
                item->setToolTip(QCoreApplication::translate("MainWindow", "只读，不计为差异"));
            }
            table->setItem(row, column, item);
        }
    }
    table->resizeColumnsToContents();
    layout->addWidget(table);

    auto *buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("differenceButtons"));
    if (purpose == Purpose::Apply) {
        QPushButton *write =
            buttons->addButton(QCoreApplication::translate("MainWindow", "写入不同的页面"),
                               QDialogButtonBox::AcceptRole);
        write->setObjectName(QStringLiteral("writeDifferingPages"));
        // Nothing is written by pressing Enter: cancelling is the default.
        QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
        write->setAutoDefault(false);
        cancel->setDefault(true);
    } else {
        buttons->addButton(QDialogButtonBox::Close);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 400);
}
