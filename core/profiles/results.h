#pragma once

#include "core/settings/verify.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

// What became of settings sent to printers: one record a printer, one entry a page. Everything
// that writes settings (write, restore, restore --all, provision, the window's profile actions)
// fills it, and both front ends show it in the same words; nothing else decides an outcome.
namespace profile {

// How a page, or a printer as a whole, ended. The order is that of severity: a printer ends as
// the worst of its pages.
enum class Outcome {
    Unchanged,          // the printer held the values already; nothing was sent
    WouldWrite,         // a dry run: the frames were worked out, nothing was sent
    Verified,           // written, read back, and the read-back equals what was sent
    WrittenNotVerified, // written, not read back (as asked)
    NotKept,            // written, but the read-back holds other values than were sent
    Skipped,            // not tried: another model, no access, not offered
    Failed,             // an exchange failed, or the profile was refused for this printer
};

// Why a page or a printer failed or was skipped.
enum class Reason {
    None,
    NotAnswering,   // an exchange waited out its time-out: nothing more is tried on the printer
    ExchangeFailed, // an exchange failed otherwise (unplugged, refused by the device)
    Refused,        // the profile, merged with the printer's values, is refused (`detail` says why)
    OtherModel,     // the printer is of another model than the profile
    NoAccess,       // the printer may not be opened (`detail` says why)
    NotOffered,     // the printer's model does not offer the page
};

// A value a write changes (or would): before is the printer's, after the one sent.
struct Change {
    QString key;
    QString before;
    QString after;
    bool secret = false; // a password or PIN: shown as "(differs)", never in clear
};

struct PageResult {
    QString page;
    Outcome outcome = Outcome::Unchanged;
    Reason reason = Reason::None;   // Failed, Skipped
    QString detail;                 // with Reason::Refused, NoAccess, ExchangeFailed
    QList<Change> changes;          // what the write changes, key by key
    QList<pages::Mismatch> notKept; // NotKept: key, value sent, value the printer kept
    QList<QByteArray> frames;       // the frames sent, or that a dry run would send
    bool sent = false;              // every frame went out (also when the read-back then failed)
    bool written() const { return sent; }
};

struct PrinterResult {
    QString path;   // the printer's identity: its USB path ("1-2.4")
    QString serial; // its serial number, when read
    QString model;  // "<brand> <product>"
    // Set when the printer as a whole failed or was skipped before any page was done.
    Outcome whole = Outcome::Unchanged;
    Reason reason = Reason::None;
    QString detail;
    std::vector<PageResult> pages;

    // The worst outcome of the printer and its pages.
    Outcome outcome() const;
    // Why it failed or was skipped: its own reason, else the first failed page's.
    Reason why() const;
    QString whyDetail() const;
    int pagesWritten() const;
    int pagesToWrite() const; // dry run: the pages that would be written
};

// What a run asked for: unchanged and written-and-verified printers always count as done; a
// written page that was not read back only when asked not to verify, a page not sent only in a
// dry run.
struct Asked {
    bool verify = true;
    bool dryRun = false;
};
// Whether the printer ended as asked.
bool succeeded(const PrinterResult &printer, const Asked &asked);
// Whether every printer did (printers skipped as of another model are not counted).
bool succeeded(const std::vector<PrinterResult> &printers, const Asked &asked);

// Names that do not depend on the language, for what scripts read ("unchanged", "would-write",
// "verified", "written-not-verified", "not-kept", "skipped", "failed"; "not-answering", ...).
QString outcomeName(Outcome outcome);
QString reasonName(Reason reason);

// The words, in the translation of the QObject context.
// "未改变", "将写入", "已写入并核对", "已写入，未核对", "写入的值未被保存", "跳过", "失败".
QString outcomeText(Outcome outcome);
// "打印机没有应答", ...; `detail` where the reason carries one.
QString reasonText(Reason reason, const QString &detail = QString());
// The outcome with its reason: "失败：打印机没有应答".
QString outcomeWithReason(Outcome outcome, Reason reason, const QString &detail);
// "已写入 7 个页面", or in a dry run "将写入 7 个页面".
QString pagesText(const PrinterResult &printer);
// A printer's line where a profile goes to many printers: USB path, serial number, pages
// written, outcome (with its reason).
QStringList printerLine(const PrinterResult &printer);
// "print：已写入并核对", "print：失败：打印机没有应答" (or without the reason, said elsewhere).
QString pageLine(const PageResult &page, bool withReason = true);
// What the printer did not keep, key by key: "print speed：写入 5，打印机保存的是 2".
QStringList notKeptLines(const PageResult &page);
// One line a page, a page not kept as its keys.
QStringList pageLines(const PrinterResult &printer);
// The value as shown: a secret as "(不同)" ("(differs)").
QString shownValue(const Change &change, bool before);
// "4 台打印机：2 台已写入并核对，1 台未改变，1 台失败".
QString summary(const std::vector<PrinterResult> &printers);

} // namespace profile
