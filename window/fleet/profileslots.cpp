// The "配置文件" menu: a printer's settings saved to a profile file, compared with one, and a
// profile applied to the selected printer or to every listed printer of its model. An apply reads
// every page of the profile first and merges the file into it, writes only the pages that differ
// and reads each written page back: the result names what the printer did not keep.
#include "window/app/mainwindow.h"

#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "window/fleet/differencedialog.h"
#include "core/profiles/apply.h"
#include "core/profiles/compare.h"
#include "core/profiles/profile.h"
#include "core/profiles/snapshot.h"
#include "ui_mainwindow.h"

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

// One line per page of an apply; what the printer did not keep, key by key.
QStringList pageLines(const std::vector<profile::PageResult> &results)
{
    const QString separator = QStringLiteral("：");
    QStringList lines;
    for (const profile::PageResult &r : results) {
        if (!r.written)
            lines << MainWindow::tr("%1：未改变").arg(r.page);
        else if (r.result != 0 || r.verification.readResult != 0)
            lines << r.page + separator + QObject::tr("请确保打印机已通过usb进行连接");
        else if (r.verification.kept())
            lines << r.page + separator + profile::outcomeText(profile::Outcome::Kept);
        for (const pages::Mismatch &m : r.verification.mismatches)
            lines << QObject::tr("%1 %2：写入 %3，打印机保存的是 %4")
                         .arg(r.page, m.key, m.expected, m.found);
    }
    return lines;
}

// The profile onto one listed printer of its model, without a question: one line (USB path,
// serial number, pages written, outcome), followed by what was not kept.
QStringList applyToListed(const ListedPrinter &listed, const profile::Parsed &parsed,
                          const QString &modelKey, bool &ok)
{
    QString serial;
    std::vector<profile::PageResult> results;
    QString outcome; // why nothing could be written, if so
    if (!listed.isReady()) {
        outcome = accessReason(listed.access);
    } else {
        SelectedPrinter printer(listed.identity, listed.rowText());
        const profile::Merged merged =
            printer.isOpen() ? profile::mergeWithPrinter(printer.handle(), parsed.pages, modelKey)
                             : profile::Merged{};
        if (!printer.isOpen() || merged.readResult != 0) {
            outcome = QObject::tr("请确保打印机已通过usb进行连接");
        } else if (merged.refusal) {
            outcome = *merged.refusal;
        } else {
            serial = profile::serialNumber(printer.handle(), merged, modelKey);
            results = profile::applyMerged(printer.handle(), merged, modelKey, true, true);
        }
    }
    const profile::Outcome result =
        outcome.isEmpty() ? profile::outcomeOf(results) : profile::Outcome::Failed;
    if (outcome.isEmpty())
        outcome = profile::outcomeText(result);
    ok = ok && result == profile::Outcome::Kept;
    QStringList lines{profile::printerLine(listed.identity.path(), serial,
                                           profile::pagesWritten(results), outcome)
                          .join(QStringLiteral("  "))};
    if (result != profile::Outcome::Kept) {
        for (const QString &line : pageLines(results))
            lines << QStringLiteral("    ") + line;
    }
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
        messages::show(
            this, QObject::tr("此机型（%1）不提供“%2”").arg(printer.modelKey().trimmed(), title));
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
    const QByteArray json = QJsonDocument(profile::document(printer.modelKey().trimmed(),
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
    const QString model = printer.modelKey().trimmed();
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
    std::vector<profile::PageResult> results;
    {
        Progress progress(this, toWrite);
        results = profile::applyMerged(printer.handle(), merged, printer.modelKey(), true, true,
                                       [&](const QString &page) { progress.next(page); });
    }
    const QString text = pageLines(results).join(QLatin1Char('\n'));
    if (profile::outcomeOf(results) == profile::Outcome::Kept)
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
    const QString modelKey = parsed.model + QLatin1Char(' ');
    if (const std::optional<QString> refused = profile::checkFor(parsed.pages, modelKey)) {
        messages::warn(this, *refused);
        return;
    }
    QStringList paths;
    for (const ListedPrinter &p : qAsConst(ofModel))
        paths << p.identity.path();
    if (!messages::confirm(this, tr("把配置文件 %1 写入这 %2 台 %3 打印机（只写入不同的页面，"
                                    "每页读回核对）：\n%4")
                                     .arg(chosen->path)
                                     .arg(ofModel.size())
                                     .arg(parsed.model, paths.join(QLatin1Char('\n')))))
        return;
    QStringList lines;
    bool ok = true;
    {
        Progress progress(this, ofModel.size());
        for (const ListedPrinter &p : qAsConst(ofModel)) {
            progress.next(p.identity.path());
            lines << applyToListed(p, parsed, modelKey, ok);
        }
    }
    if (ok)
        messages::show(this, lines.join(QLatin1Char('\n')));
    else
        messages::warn(this, lines.join(QLatin1Char('\n')));
}
