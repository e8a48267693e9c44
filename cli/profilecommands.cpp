#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "cli/jsonoutput.h"
#include "cli/profilechecks.h"
#include "cli/recording.h"
#include "cli/resultjson.h"
#include "cli/resultoutput.h"
#include "core/base/filenames.h"
#include "core/profiles/apply.h"
#include "core/profiles/compare.h"
#include "core/profiles/profile.h"
#include "core/profiles/snapshot.h"
#include "core/settings/settingspage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QObject>
#include <algorithm>

namespace cli {

int fileExists(Context &c, const QString &path)
{
    return fail(c, Refused, QObject::tr("文件已存在：%1。用 --force 替换它").arg(path));
}

int backup(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    const QString path = c.arguments[0];
    // "-" is standard output, as for other tools; a file of that name is "./-".
    const bool toOutput = path == QLatin1String("-");
    const bool replace = c.parser.isSet(QStringLiteral("force"));
    // Said before the printer is asked anything; the save itself makes sure.
    if (!toOutput && !replace && filenames::exists(path))
        return fileExists(c, path);
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    // As the window refuses it: a file without a page would restore nothing.
    if (pages::pagesForModel(printer.modelKey()).empty())
        return fail(
            c, Refused,
            QObject::tr("此机型（%1）不提供“%2”").arg(printer.model(), QStringLiteral("backup")));
    const profile::Snapshot snapshot =
        profile::readSnapshot(printer.handle(), printer.modelKey(), profile::Version::Read);
    if (!snapshot.complete())
        return readFailed(c, printer);
    const QByteArray json =
        QJsonDocument(profile::document(printer.model(), snapshot.version, snapshot.pages,
                                        !c.parser.isSet(QStringLiteral("no-secrets"))))
            .toJson();
    if (toOutput) {
        // The document's own bytes (UTF-8), whatever the terminal's encoding.
        c.out.flush();
        if (c.out.device())
            c.out.device()->write(json);
        else
            c.out << QString::fromUtf8(json);
        return Ok;
    }
    QString why;
    switch (profile::save(path, json, replace, &why)) {
    case profile::Saved::Ok:
        if (cli::json(c)) {
            QJsonArray names;
            for (const auto &page : snapshot.pages)
                names.append(page->name());
            printJson(c,
                      {{QStringLiteral("file"), path},
                       {QStringLiteral("printer"), identityJson(printer)},
                       {QStringLiteral("pages"), names},
                       {QStringLiteral("secrets"), !c.parser.isSet(QStringLiteral("no-secrets"))}});
        }
        return Ok;
    case profile::Saved::Exists:
        return fileExists(c, path);
    case profile::Saved::Failed:
        break;
    }
    return fail(c, Refused, QObject::tr("无法写入文件：%1（%2）").arg(path, why));
}

// A profile file, read and checked as a whole.
int readProfile(Context &c, const QString &path, profile::Parsed &parsed)
{
    if (const std::optional<QString> error = profile::load(path, parsed))
        return fail(c, Refused, *error);
    return Ok;
}

// Every page of the file checked for this model before anything is sent: its pages, keys and
// values. Whether each page is valid as a whole is checked once it is merged with the printer's
// own values, which a key the file leaves out keeps.
int checkProfileFor(Context &c, const profile::Parsed &parsed, const ModelKey &modelKey)
{
    if (const std::optional<QString> error = profile::checkFor(parsed.pages, modelKey))
        return fail(c, Refused, *error);
    return Ok;
}

// What restore and provision ask of the apply: every page of the profile once the printer differs
// anywhere (a printer that holds the profile is left as it is), each read back unless told not to.
profile::ApplyOptions applyOptions(const Context &c)
{
    profile::ApplyOptions options;
    options.pages = profile::ApplyOptions::Pages::All;
    options.verify = verifying(c);
    // A check works out what a write would send, as a dry run does, and sends nothing.
    options.dryRun = c.parser.isSet(QStringLiteral("dry-run")) || checking(c);
    return options;
}

// How restore and restore --all show a printer's result: in words as it comes, or in the document
// at the end (--json); a check with the keys that would change.
void showResult(Context &c, const profile::PrinterResult &result,
                const profile::ApplyOptions &options, bool many)
{
    if (json(c))
        return;
    if (checking(c))
        showCheck(c, result, !many);
    else if (many)
        showLine(c, result, options.asked());
    else
        showPages(c, result, options.asked());
}

// A check and a dry run both send nothing: one or the other.
int refuseCheckWithDryRun(Context &c)
{
    if (checking(c) && c.parser.isSet(QStringLiteral("dry-run")))
        return fail(c, UsageError, QObject::tr("--check 与 --dry-run 不能同时使用"));
    return Ok;
}

int restore(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    const bool all = c.parser.isSet(QStringLiteral("all"));
    // --all goes to every printer of the model: a port would name one, and be ignored.
    if (all && c.parser.isSet(QStringLiteral("port")))
        return fail(c, UsageError, QObject::tr("--port 与 --all 不能同时使用"));
    if (all && c.parser.isSet(QStringLiteral("serial")))
        return fail(c, UsageError, QObject::tr("--serial 与 --all 不能同时使用"));
    if (const int refused = refuseCheckWithDryRun(c))
        return refused;
    profile::Parsed parsed;
    if (const int exit = readProfile(c, c.arguments[0], parsed))
        return exit;
    if (all)
        return restoreAll(c, parsed);
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    if (parsed.model != printer.model() && !c.parser.isSet(QStringLiteral("force")))
        return fail(c, Refused,
                    QObject::tr("配置来自另一型号（%1），本打印机是 %2；用 --force 仍然写入")
                        .arg(parsed.model, printer.model()));
    if (const int refused = checkProfileFor(c, parsed, printer.modelKey()))
        return refused;
    const profile::ApplyOptions options = applyOptions(c);
    const profile::PrinterResult result = profile::applyProfile(
        printer.handle(), parsed.pages, profile::targetOf(printer.listed()), options);
    recordApply(result, history::Kind::Restore, c.arguments[0]);
    showResult(c, result, options, false);
    int exit = exitOf(result, options.asked());
    if (checking(c))
        exit = checkExit(exit, {result});
    if (json(c))
        printResultDocument(c, QStringLiteral("restore"), {result}, options.asked(), exit,
                            {{QStringLiteral("all"), false},
                             {QStringLiteral("profile"), c.arguments[0]},
                             {QStringLiteral("model"), parsed.model}});
    return exit;
}

// The differences as a document: each key with both values (typed as read shows them), a password
// or PIN only as differing unless asked; whether they differ, and the exit status.
int printDifferences(Context &c, const QList<profile::Difference> &found, const ModelKey &modelKey,
                     bool secrets)
{
    const int exit = profile::differ(found) ? 1 : Ok;
    printJson(c, {{QStringLiteral("one"),
                   c.arguments.size() == 2 ? c.arguments[0] : QStringLiteral("printer")},
                  {QStringLiteral("other"), c.arguments.value(1, c.arguments[0])},
                  {QStringLiteral("differences"), differencesJson(found, modelKey, secrets)},
                  {QStringLiteral("differ"), exit != Ok},
                  {QStringLiteral("exit"), exit}});
    return exit;
}

// Two profiles' values side by side: one line per key that differs (page, key, one value, the
// other). Read-only keys (serial number, device information, MACs) are listed apart and never
// count as a difference. Passwords and the PIN show only that they differ, unless asked.
int compareProfiles(Context &c, const QJsonObject &one, const QJsonObject &other,
                    const ModelKey &modelKey)
{
    const QList<profile::Difference> found = profile::differences(one, other, modelKey);
    const bool secrets = c.parser.isSet(QStringLiteral("show-secrets"));
    if (json(c))
        return printDifferences(c, found, modelKey, secrets);
    auto print = [&](bool readOnly) {
        for (const profile::Difference &d : found) {
            if (d.readOnly != readOnly)
                continue;
            const QString masked = QObject::tr("(不同)");
            c.out << d.page << '\t' << d.key << '\t' << (d.secret && !secrets ? masked : d.one)
                  << '\t' << (d.secret && !secrets ? masked : d.other) << '\n';
        }
    };
    print(false);
    if (found.size() > 0 &&
        !std::all_of(found.begin(), found.end(), [](const auto &d) { return !d.readOnly; })) {
        c.out << QObject::tr("只读（不计为差异）：") << '\n';
        print(true);
    }
    return profile::differ(found) ? 1 : Ok;
}

// Profiles of two models are not compared unless asked: a model's keys mean other things on
// another, and a match would say nothing.
int refuseOtherModel(Context &c, const QString &message)
{
    if (c.parser.isSet(QStringLiteral("force")))
        return Ok;
    return fail(c, UsageError, message);
}

int diff(Context &c)
{
    if (c.arguments.isEmpty() || c.arguments.size() > 2)
        return fail(c, UsageError, c.parser.helpText());
    profile::Parsed one;
    if (const int exit = readProfile(c, c.arguments[0], one))
        return exit;
    if (c.arguments.size() == 2) {
        profile::Parsed other;
        if (const int exit = readProfile(c, c.arguments[1], other))
            return exit;
        if (one.model != other.model) {
            if (const int refused = refuseOtherModel(
                    c, QObject::tr("两个配置文件的型号不同（%1 和 %2）；用 --force 仍然比较")
                           .arg(one.model, other.model)))
                return refused;
        }
        // Each file checked as restore checks it, for its own model.
        if (const int refused = checkProfileFor(c, one, ModelKey::named(one.model)))
            return refused;
        if (const int refused = checkProfileFor(c, other, ModelKey::named(other.model)))
            return refused;
        return compareProfiles(c, one.pages, other.pages, ModelKey::named(one.model));
    }
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    if (one.model != printer.model()) {
        if (const int refused = refuseOtherModel(
                c, QObject::tr("配置来自另一型号（%1），本打印机是 %2；用 --force 仍然比较")
                       .arg(one.model, printer.model())))
            return refused;
    }
    if (const int refused = checkProfileFor(c, one, printer.modelKey()))
        return refused;
    const profile::Snapshot mine =
        profile::readSnapshot(printer.handle(), printer.modelKey(), profile::Version::Skip);
    if (!mine.complete())
        return readFailed(c, printer);
    return compareProfiles(c, mine.pagesJson(), one.pages, printer.modelKey());
}

} // namespace cli
