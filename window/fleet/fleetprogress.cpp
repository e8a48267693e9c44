#include "window/fleet/fleetprogress.h"

#include "core/printers/fleetrun.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

FleetProgressDialog::FleetProgressDialog(QWidget *parent, fleet::Run &run, const QString &heading,
                                         EndText endText)
    : QDialog(parent), run_(run), endText_(std::move(endText))
{
    setObjectName(QStringLiteral("fleetProgress"));
    setWindowTitle(QObject::tr("设置工具"));
    setWindowModality(Qt::WindowModal);
    // Closing the window is a Cancel: the printers in flight still finish their page.
    setWindowFlag(Qt::WindowCloseButtonHint, false);

    auto *rows = new QWidget;
    auto *grid = new QGridLayout(rows);
    for (int i = 0; i < run_.count(); ++i) {
        Row row;
        row.bar = new QProgressBar;
        row.bar->setObjectName(QStringLiteral("fleetBar%1").arg(i));
        row.bar->setRange(0, 1);
        row.bar->setValue(0);
        row.state = new QLabel(tr("等待"));
        row.state->setObjectName(QStringLiteral("fleetState%1").arg(i));
        grid->addWidget(new QLabel(run_.at(i).printer.identity.path()), i, 0);
        grid->addWidget(row.bar, i, 1);
        grid->addWidget(row.state, i, 2);
        rows_.push_back(row);
    }
    grid->setColumnStretch(2, 1);
    auto *scroll = new QScrollArea;
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    connect(cancel_, &QPushButton::clicked, this, &FleetProgressDialog::cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(heading));
    layout->addWidget(scroll);
    layout->addWidget(buttons);
    resize(560, qMin(160 + 32 * run_.count(), 480));

    connect(&run_, &fleet::Run::started, this,
            [this](int index) { rows_[std::size_t(index)].state->setText(tr("正在读取…")); });
    connect(&run_, &fleet::Run::progressed, this,
            [this](int index, const QString &step, int done, int total) {
                const Row &row = rows_[std::size_t(index)];
                row.bar->setRange(0, qMax(total, 1));
                row.bar->setValue(done);
                row.state->setText(tr("正在写入 %1…").arg(step));
            });
    connect(&run_, &fleet::Run::finished, this, [this](int index) {
        const Row &row = rows_[std::size_t(index)];
        if (run_.at(index).state == fleet::State::Done)
            row.bar->setValue(row.bar->maximum());
        row.state->setText(endText_(index));
    });
    connect(&run_, &fleet::Run::idle, this, &QDialog::accept);
}

void FleetProgressDialog::runUntilIdle()
{
    if (run_.isIdle())
        return;
    exec();
}

void FleetProgressDialog::cancel()
{
    cancel_->setEnabled(false);
    cancel_->setText(tr("正在停止…"));
    run_.stop();
}

QString FleetProgressDialog::rowText(int index) const
{
    return rows_[std::size_t(index)].state->text();
}

const QProgressBar *FleetProgressDialog::bar(int index) const
{
    return rows_[std::size_t(index)].bar;
}
