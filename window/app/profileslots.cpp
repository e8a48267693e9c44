// The "配置文件" menu: a printer's settings saved to a profile file, compared with one, and a
// profile applied to the selected printer or to every listed printer of its model. An apply reads
// every page of the profile first and merges the file into it, writes only the pages that differ
// and reads each written page back: the result names what the printer did not keep.
#include "window/app/mainwindow.h"

#include "core/history/fromresults.h"
#include "core/printers/fleetrun.h"
#include "core/printers/modelgate.h"
#include "core/profiles/apply.h"
#include "core/profiles/compare.h"
#include "core/profiles/fleetapply.h"
#include "core/profiles/profile.h"
#include "core/profiles/snapshot.h"
#include "ui_mainwindow.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "window/fleet/differencedialog.h"
#include "window/fleet/fleetprogress.h"

#include <QDir>
#include <QFileDialog>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>

Q_LOGGING_CATEGORY(lcFleet, "labelsetup.fleet")

namespace {

struct ChosenProfile {
    QString path; // as the user reads it
    profile::Parsed parsed;
};

QString profileFilter() { return MainWindow::tr("配置文件 (*.json);;所有文件 (*)"); }

std::optional<ChosenProfile> chooseProfile(QWidget *parent)
{
    const QString path = QFileDialog::getOpenFileName(parent, MainWindow::tr("选择配置文件"),
                                                      QString(), profileFilter());
    if (path.isEmpty())
        return std::nullopt;
    ChosenProfile chosen{QDir::toNativeSeparators(path), {}};
    if (const std::optional<QString> error = profile::load(path, chosen.parsed)) {
        messages::warn(parent, *error);
        return std::nullopt;
    }
    qCDebug(lcFleet, "Profile %s of model %s", qUtf8Printable(path),
            qUtf8Printable(chosen.parsed.model));
    return chosen;
}

QString heading(const QString &printer, const ChosenProfile &chosen)
{
    return MainWindow::tr("打印机：%1\n配置文件：%2（%3）")
        .arg(printer, chosen.path, chosen.parsed.model);
}

// A progress dialog over `steps` steps that shows itself only when the work takes a while; no
// cancel button, as a page half written cannot be taken back.
class Progress
{
public:
    Progress(QWidget *parent, int steps) : dialog_(parent)
    {
        dialog_.setObjectName(QStringLiteral("profileProgress"));
        dialog_.setWindowTitle(QObject::tr("设置工具"));
        dialog_.setCancelButton(nullptr);
        dialog_.setRange(0, steps);
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(300);
        dialog_.setValue(0);
    }
    ~Progress() { dialog_.setValue(dialog_.maximum()); }
    void next(const QString &what)
    {
        dialog_.setLabelText(MainWindow::tr("正在写入 %1…").arg(what));
        dialog_.setValue(done_++);
    }

private:
    QProgressDialog dialog_;
    int done_ = 0;
};

// A printer's line (USB path, serial number, pages written, outcome), followed by its pages when
// it did not end as asked.
QStringList resultLines(const profile::PrinterResult &result, const profile::Asked &asked)
{
    QStringList lines{profile::printerLine(result).join(QStringLiteral("  "))};
    if (profile::succeeded(result, asked))
        return lines;
    if (result.whole == profile::Outcome::Failed)
        lines << QStringLiteral("    ") + profile::reasonText(result.reason, result.detail);
    for (const QString &line : profile::pageLines(result))
        lines << QStringLiteral("    ") + line;
    return lines;
}

} // namespace

void MainWindow::createProfileMenu()
{
    profileMenu = menuBar()->addMenu(tr("配置文件"));
    profileMenu->setObjectName(QStringLiteral("menuProfiles"));
    const auto add = [this](const char *name, const QString &text, void (MainWindow::*run)()) {
        QAction *action = profileMenu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, run);
    };
    add("actionSaveProfile", tr("保存打印机配置…"), &MainWindow::saveProfile);
    add("actionCompareProfile", tr("与配置文件比较…"), &MainWindow::compareWithProfile);
    add("actionApplyProfile", tr("应用配置文件…"), &MainWindow::applyProfile);
    add("actionApplyProfileToModel", tr("应用到所有同型号打印机…"),
        &MainWindow::applyProfileToModel);
    add("actionHistory", tr("历史记录…"), &MainWindow::showHistory);
}

void MainWindow::saveProfile()
{
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    const QString title = tr("保存打印机配置");
    if (pages::pagesForModel(printer.modelKey()).empty()) {
        messages::show(this,
                       QObject::tr("此机型（%1）不提供“%2”").arg(printer.modelKey().name(), title));
        return;
    }
    const QString path = QFileDialog::getSaveFileName(this, title, QString(), profileFilter());
    if (path.isEmpty())
        return;
    const profile::Snapshot snapshot =
        profile::readSnapshot(printer.handle(), printer.modelKey(), profile::Version::Read);
    if (!snapshot.complete()) {
        messages::connectionFailed(this);
        return;
    }
    const QByteArray json = QJsonDocument(profile::document(printer.modelKey().name(),
                                                            snapshot.version, snapshot.pages))
                                .toJson();
    // The file dialog has asked before replacing a file of that name.
    if (profile::save(path, json, true) != profile::Saved::Ok) {
        messages::warn(this, QObject::tr("无法写入文件：%1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    messages::show(this, tr("配置已保存：%1").arg(QDir::toNativeSeparators(path)));
}

void MainWindow::compareWithProfile()
{
    std::optional<ChosenProfile> chosen;
    QString printerName;
    QList<profile::Difference> differences;
    {
        // Closed before the table is shown: the kernel's printer driver gets the printer back
        // while the user reads it.
        SelectedPrinter printer(this, form->listWidget);
        if (!printer.isOpen())
            return;
        chosen = chooseProfile(this);
        if (!chosen)
            return;
        // Checked as an apply checks it: another model only when the user says so, and a file
        // an apply would refuse is refused here too.
        const QString model = printer.modelKey().name();
        if (chosen->parsed.model != model &&
            !messages::confirm(
                this,
                tr("配置文件来自另一型号（%1），本打印机是 %2。").arg(chosen->parsed.model, model)))
            return;
        if (const std::optional<QString> refused =
                profile::checkFor(chosen->parsed.pages, printer.modelKey())) {
            messages::warn(this, *refused);
            return;
        }
        const profile::Snapshot snapshot =
            profile::readSnapshot(printer.handle(), printer.modelKey(), profile::Version::Skip);
        if (!snapshot.complete()) {
            messages::connectionFailed(this);
            return;
        }
        printerName = printer.name();
        differences =
            profile::differences(snapshot.pagesJson(), chosen->parsed.pages, printer.modelKey());
    }
    if (differences.isEmpty()) {
        messages::show(this, tr("打印机与配置文件一致"));
        return;
    }
    DifferenceDialog(this, heading(printerName, *chosen), differences,
                     DifferenceDialog::Purpose::Compare)
        .exec();
}

void MainWindow::applyProfile()
{
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    const std::optional<ChosenProfile> chosen = chooseProfile(this);
    if (!chosen)
        return;
    const profile::Parsed &parsed = chosen->parsed;
    const QString model = printer.modelKey().name();
    if (parsed.model != model &&
        !messages::confirm(
            this, tr("配置文件来自另一型号（%1），本打印机是 %2。").arg(parsed.model, model)))
        return;
    if (const std::optional<QString> refused =
            profile::checkFor(parsed.pages, printer.modelKey())) {
        messages::warn(this, *refused);
        return;
    }
    const profile::Merged merged =
        profile::mergeWithPrinter(printer.handle(), parsed.pages, printer.modelKey());
    if (merged.readResult != 0) {
        messages::connectionFailed(this);
        return;
    }
    if (merged.refusal) {
        messages::warn(this, *merged.refusal);
        return;
    }
    const int toWrite = profile::pagesToWrite(merged);
    if (toWrite == 0) {
        messages::show(this, tr("打印机与配置文件一致"));
        return;
    }
    DifferenceDialog table(
        this, heading(printer.name(), *chosen),
        profile::differences(profile::pagesToJson(merged.asRead), parsed.pages, printer.modelKey()),
        DifferenceDialog::Purpose::Apply);
    if (table.exec() != QDialog::Accepted)
        return;
    profile::PrinterResult result;
    {
        Progress progress(this, toWrite);
        result = profile::applyMerged(
            printer.handle(), merged, {printer.identity().path(), model, printer.modelKey()},
            profile::ApplyOptions{}, [&](const QString &page) { progress.next(page); });
    }
    history::recordResult(result, history::kWindow, history::Kind::Restore, chosen->path);
    const QString text = profile::pageLines(result).join(QLatin1Char('\n'));
    if (profile::succeeded(result, profile::ApplyOptions{}.asked()))
        messages::show(this, text);
    else
        messages::warn(this, text);
}

void MainWindow::applyProfileToModel()
{
    const std::optional<ChosenProfile> chosen = chooseProfile(this);
    if (!chosen)
        return;
    const profile::Parsed &parsed = chosen->parsed;
    // The list stays as it is until every printer is done.
    ClickTracker::Scope holdList;
    const QList<ListedPrinter> ofModel = printersOfModel(listedPrinters, parsed.model);
    if (ofModel.isEmpty()) {
        messages::show(this, QObject::tr("没有型号为 %1 的打印机").arg(parsed.model));
        return;
    }
    const ModelKey modelKey = ModelKey::named(parsed.model);
    if (const std::optional<QString> refused = profile::checkFor(parsed.pages, modelKey)) {
        messages::warn(this, *refused);
        return;
    }
    // Only the printers it can use are asked about; the others are named with the reason.
    QStringList usable, unusable;
    for (const ListedPrinter &p : qAsConst(ofModel)) {
        if (p.isReady())
            usable << p.identity.path();
        else
            unusable << tr("%1（跳过：%2）").arg(p.identity.path(), accessReason(p.access));
    }
    if (usable.isEmpty()) {
        messages::warn(this, tr("没有可以使用的 %1 打印机：\n%2")
                                 .arg(parsed.model, unusable.join(QLatin1Char('\n'))));
        return;
    }
    QString question = tr("把配置文件 %1 写入这 %2 台 %3 打印机（只写入不同的页面，"
                          "每页读回核对）：\n%4")
                           .arg(chosen->path)
                           .arg(usable.size())
                           .arg(parsed.model, usable.join(QLatin1Char('\n')));
    if (!unusable.isEmpty())
        question += '\n' + tr("跳过这 %1 台：\n%2").arg(unusable.size()).arg(unusable.join('\n'));
    if (!messages::confirm(this, question))
        return;
    const profile::ApplyOptions options; // only the pages that differ, each read back
    // Every printer at once (up to the run's limit), a progress row each; Cancel lets each
    // printer finish the page in flight.
    fleet::Run run(
        [&parsed, options](fleet::Worker &worker) -> std::any {
            return profile::applyOnWorker(worker, parsed.pages, options);
        },
        fleet::Run::kMaxJobs);
    for (const ListedPrinter &p : qAsConst(ofModel))
        run.add(p);
    const auto resultOf = [&](int index) {
        const fleet::PrinterRun &printer = run.at(index);
        const auto *result = std::any_cast<profile::PrinterResult>(&printer.result);
        return result ? *result : profile::notStarted(profile::targetOf(printer.printer));
    };
    FleetProgressDialog progress(
        this, run, tr("正在把配置文件写入 %1 台 %2 打印机").arg(ofModel.size()).arg(parsed.model),
        [&](int index) { return profile::printerLine(resultOf(index)).value(3); });
    progress.runUntilIdle();
    // In the list's order, as the question named them.
    std::vector<profile::PrinterResult> results;
    QStringList lines;
    for (int index = 0; index < run.count(); ++index) {
        results.push_back(resultOf(index));
        // Into the history on this thread, one printer after another; not one never started.
        if (run.at(index).state != fleet::State::NotStarted)
            history::recordResult(results.back(), history::kWindow, history::Kind::Restore,
                                  chosen->path);
        lines << resultLines(results.back(), options.asked());
    }
    lines << profile::summary(results);
    if (profile::succeeded(results, options.asked()))
        messages::show(this, lines.join(QLatin1Char('\n')));
    else
        messages::warn(this, lines.join(QLatin1Char('\n')));
}
