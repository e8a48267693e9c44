#include "window/fleet/historydialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString keyLines(const history::Entry &entry)
{
    QStringList lines;
    for (const history::ChangedKey &k : entry.action.keys) {
        QString line = QCoreApplication::translate("MainWindow", "%1 %2：%3 → %4")
                           .arg(k.page, k.key, k.before, k.after);
        if (k.kept && !*k.kept)
            line += QCoreApplication::translate("MainWindow", "（未保存）");
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

// The dialog belongs to the main window's profile menu and shares its translation context.
HistoryDialog::HistoryDialog(QWidget *parent, const QString &heading) : QDialog(parent)
{
    setObjectName(QStringLiteral("historyDialog"));
    setWindowTitle(QCoreApplication::translate("MainWindow", "历史记录"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(heading, this);
    label->setObjectName(QStringLiteral("historyHeading"));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);

    table_ = new QTableWidget(0, 5, this);
    table_->setObjectName(QStringLiteral("historyTable"));
    table_->setHorizontalHeaderLabels(
        {QCoreApplication::translate("MainWindow", "编号"),
         QCoreApplication::translate("MainWindow", "时间（UTC）"),
         QCoreApplication::translate("MainWindow", "操作"),
         QCoreApplication::translate("MainWindow", "结果"),
         QCoreApplication::translate("MainWindow", "改动的设置项（之前 → 之后）")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);

    auto *buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("historyButtons"));
    undoButton_ = buttons->addButton(QCoreApplication::translate("MainWindow", "撤销所选操作…"),
                                     QDialogButtonBox::ActionRole);
    undoButton_->setObjectName(QStringLiteral("undoAction"));
    undoButton_->setAutoDefault(false);
    buttons->addButton(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(undoButton_, &QPushButton::clicked, this, [this] {
        const int row = table_->currentRow();
        if (undo && row >= 0 && row < entries_.size())
            undo(entries_[row]);
    });
    connect(table_, &QTableWidget::itemSelectionChanged, this, [this] { updateUndo(); });
    layout->addWidget(buttons);
    updateUndo();
    resize(760, 420);
}

void HistoryDialog::setEntries(const QList<history::Entry> &entries)
{
    entries_ = entries;
    table_->clearContents();
    table_->setRowCount(0);
    for (const history::Entry &e : entries) {
        const int row = table_->rowCount();
        table_->insertRow(row);
        const QStringList cells{QString::number(e.id),
                                e.time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                history::kindText(e.kind) + QLatin1Char(' ') + e.action.detail,
                                e.action.outcome, keyLines(e)};
        for (int column = 0; column < cells.size(); ++column)
            table_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    table_->resizeColumnsToContents();
    table_->resizeRowsToContents();
    updateUndo();
}

void HistoryDialog::updateUndo()
{
    // Only an action that changed settings has values to put back.
    const int row = table_->currentRow();
    const bool selected = !table_->selectedItems().isEmpty() && row >= 0 && row < entries_.size();
    undoButton_->setEnabled(selected && !entries_[row].action.keys.isEmpty());
}
