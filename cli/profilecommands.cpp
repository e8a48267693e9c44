#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "core/base/filenames.h"
#include "core/profiles/apply.h"
#include "core/profiles/compare.h"
#include "core/profiles/profile.h"
#include "core/profiles/snapshot.h"
#include "core/settings/pageexchange.h"
#include "core/settings/settingspage.h"

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
    const profile::Snapshot snapshot =
        profile::readSnapshot(printer.handle(), printer.modelKey(), profile::Version::Read);
    if (!snapshot.complete())
        return transportFailed(c);
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
int checkProfileFor(Context &c, const profile::Parsed &parsed, const QString &modelKey)
{
    if (const std::optional<QString> error = profile::checkFor(parsed.pages, modelKey))
        return fail(c, Refused, *error);
    return Ok;
}

struct Restored {
    int exit = Ok;
    int written = 0; // pages written
    QString serial;  // the serial number, when asked for and read
};

// How a restore goes: a line a page, each written page read back, or only the frames printed.
struct RestoreMode {
    bool pageLines = false;
    bool verify = true;
    bool dryRun = false;
    bool serialNumber = false; // the printer's serial number for its line
};

RestoreMode restoreMode(const Context &c, bool pageLines)
{
    return {pageLines, verifying(c), c.parser.isSet(QStringLiteral("dry-run"))};
}

// The profile onto one printer: every page read and merged with the file and each merged page
// checked again (the printer's values the file does not carry may make it invalid) before the
// first write, so that a restore writes all of its pages or none; then each page written and,
// unless told not to, read back.
Restored restoreOnto(Context &c, Printer &printer, const profile::Parsed &parsed,
                     const RestoreMode &mode)
{
    Restored done;
    const profile::Merged merged =
        profile::mergeWithPrinter(printer.handle(), parsed.pages, printer.modelKey());
    // From the serial page as read, also when a later page's read failed.
    if (mode.serialNumber)
        done.serial = profile::serialNumber(printer.handle(), merged, printer.modelKey());
    if (merged.readResult != 0) {
        done.exit = fail(c, TransportFailed,
                         merged.failedPage + ": " + QObject::tr("请确保打印机已通过usb进行连接"));
        return done;
    }
    if (merged.refusal) {
        done.exit = fail(c, Refused, *merged.refusal);
        return done;
    }
    if (mode.dryRun) {
        for (const auto &page : merged.merged) {
            for (const QByteArray &frame : pages::framesOf(*page))
                c.out << page->name() << ": " << frame.toHex(' ').toUpper() << '\n';
        }
        return done;
    }
    const std::vector<profile::PageResult> results =
        profile::applyMerged(printer.handle(), merged, printer.modelKey(), mode.verify, false);
    done.written = profile::pagesWritten(results);
    for (const profile::PageResult &r : results) {
        if (mode.pageLines)
            c.out << r.page << ": "
                  << (r.result == 0 ? QObject::tr("设置成功")
                                    : QObject::tr("请确保打印机已通过usb进行连接"))
                  << '\n';
        if (r.result != 0) {
            done.exit = TransportFailed;
            continue;
        }
        const int kept = reportVerification(c, r.page, r.verification);
        if (done.exit == Ok)
            done.exit = kept;
    }
    return done;
}

// The profile onto one listed printer of its model, and the printer's line: USB path, serial
// number, pages written, outcome (restore --all and provision). The printer's exit status.
int restoreListed(Context &c, const ListedPrinter &listed, const profile::Parsed &parsed,
                  const RestoreMode &mode)
{
    Printer printer;
    Restored done;
    if (!listed.isReady()) {
        done.exit = unavailable(c, listed);
    } else if (!printer.open(listed)) {
        done.exit =
            fail(c, TransportFailed,
                 listed.identity.path() + ": " + QObject::tr("请确保打印机已通过usb进行连接"));
    } else {
        RestoreMode listedMode = mode;
        listedMode.serialNumber = true;
        done = restoreOnto(c, printer, parsed, listedMode);
    }
    const profile::Outcome outcome = done.exit == Ok        ? profile::Outcome::Kept
                                     : done.exit == NotKept ? profile::Outcome::NotKept
                                                            : profile::Outcome::Failed;
    c.out << profile::printerLine(listed.identity.path(), done.serial, done.written,
                                  profile::outcomeText(outcome))
                 .join(QLatin1Char('\t'))
          << '\n';
    c.out.flush();
    c.err.flush();
    return done.exit;
}

int restoreAll(Context &c, const profile::Parsed &parsed)
{
    const QList<ListedPrinter> ofModel = printersOfModel(listSupportedPrinters(), parsed.model);
    if (ofModel.isEmpty())
        return fail(c, NoSuchPrinter, QObject::tr("没有型号为 %1 的打印机").arg(parsed.model));
    if (const int refused = checkProfileFor(c, parsed, parsed.model + QLatin1Char(' ')))
        return refused;
    int result = Ok;
    for (const ListedPrinter &listed : ofModel) {
        const int exit = restoreListed(c, listed, parsed, restoreMode(c, false));
        if (result == Ok)
            result = exit;
    }
    return result;
}

int restore(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    profile::Parsed parsed;
    if (const int exit = readProfile(c, c.arguments[0], parsed))
        return exit;
    if (c.parser.isSet(QStringLiteral("all")))
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
    return restoreOnto(c, printer, parsed, restoreMode(c, true)).exit;
}

// Waits for printers to be plugged in and restores the profile onto each new one of its model,
// a line a printer, until interrupted or until --count printers of the model were handled
// (failed ones too). The printers attached when it starts are left as they are; so is a printer
// of another model (a line says so; it does not count). Each printer is finished before an
// interruption takes effect. Exit status: the first failure's, as restore --all.
int provision(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    int count = 0; // 0: until interrupted
    if (c.parser.isSet(QStringLiteral("count"))) {
        const QString value = c.parser.value(QStringLiteral("count"));
        bool number = false;
        count = value.toInt(&number);
        if (!number || count < 1)
            return fail(c, UsageError, QObject::tr("--count 须为正整数：%1").arg(value));
    }
    profile::Parsed parsed;
    if (const int exit = readProfile(c, c.arguments[0], parsed))
        return exit;
    if (const int refused = checkProfileFor(c, parsed, parsed.model + QLatin1Char(' ')))
        return refused;

    Listening listening;
    if (const int exit = listening.start(c))
        return exit;
    PrinterWatcher &watcher = listening.watcher;
    QEventLoop &loop = listening.loop;
    // Listed (which opens them to read their names) but never written.
    QList<ListedPrinter> known = watcher.printers({});
    c.err << QObject::tr("等待插入型号为 %1 的打印机；已连接的打印机不会改动").arg(parsed.model)
          << '\n';
    c.err.flush();

    int handled = 0;
    int result = Ok;
    const auto done = [&] { return interruptedBySignal() || (count > 0 && handled >= count); };
    QObject::connect(&watcher, &PrinterWatcher::devicesChanged, &loop, [&] {
        // Plugs while a printer is being written come as the next signal.
        const QList<ListedPrinter> now = watcher.printers(known);
        for (const ListedPrinter &p : now) {
            if (done())
                break;
            if (std::any_of(known.begin(), known.end(),
                            [&](const ListedPrinter &k) { return k.sameDevice(p); }))
                continue;
            if (p.model() != parsed.model) {
                c.out << p.identity.path() << '\t' << p.model() << '\t'
                      << QObject::tr("另一型号，未改动") << '\n';
                c.out.flush();
                continue;
            }
            const int exit = restoreListed(c, p, parsed, RestoreMode{});
            ++handled;
            if (result == Ok)
                result = exit;
        }
        known = now;
        if (done())
            loop.quit();
    });
    loop.exec();
    return result;
}

// Two profiles' values side by side: one line per key that differs (page, key, one value, the
// other). Read-only keys (serial number, device information, MACs) are listed apart and never
// count as a difference.
int compareProfiles(Context &c, const QJsonObject &one, const QJsonObject &other,
                    const QString &modelKey)
{
    const QList<profile::Difference> found = profile::differences(one, other, modelKey);
    auto print = [&](bool readOnly) {
        for (const profile::Difference &d : found) {
            if (d.readOnly == readOnly)
                c.out << d.page << '\t' << d.key << '\t' << d.one << '\t' << d.other << '\n';
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
        return compareProfiles(c, one.pages, other.pages, one.model + QLatin1Char(' '));
    }
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    const profile::Snapshot mine =
        profile::readSnapshot(printer.handle(), printer.modelKey(), profile::Version::Skip);
    if (!mine.complete())
        return transportFailed(c);
    return compareProfiles(c, mine.pagesJson(), one.pages, printer.modelKey());
}

} // namespace cli
