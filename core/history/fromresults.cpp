#include "core/history/fromresults.h"

#include "core/history/record.h"

#include <algorithm>

namespace history {

bool touched(const profile::PageResult &page)
{
    switch (page.outcome) {
    case profile::Outcome::Verified:
    case profile::Outcome::WrittenNotVerified:
    case profile::Outcome::NotKept:
        return true;
    case profile::Outcome::Failed:
        // Refused or not offered: nothing was sent.
        return page.reason != profile::Reason::Refused &&
               page.reason != profile::Reason::NotOffered && !page.changes.isEmpty();
    case profile::Outcome::Unchanged:
    case profile::Outcome::WouldWrite:
    case profile::Outcome::Stopped: // a printer's, never a page's
    case profile::Outcome::Skipped:
        break;
    }
    return false;
}

QList<ChangedKey> keysOf(const profile::PageResult &page, const pages::SettingsPage *asRead,
                         const pages::SettingsPage *written)
{
    const QMap<QString, qint64> wasWire = asRead ? asRead->wireValues() : QMap<QString, qint64>();
    const QMap<QString, qint64> nowWire = written ? written->wireValues() : QMap<QString, qint64>();
    const auto wire = [](const QMap<QString, qint64> &values, const QString &key) {
        return values.contains(key) ? std::optional<qint64>(values.value(key)) : std::nullopt;
    };
    QList<ChangedKey> keys;
    for (const profile::Change &change : page.changes) {
        ChangedKey key{page.page,
                       change.key,
                       change.before,
                       change.after,
                       wire(wasWire, change.key),
                       wire(nowWire, change.key),
                       std::nullopt};
        if (page.outcome == profile::Outcome::Verified) {
            key.kept = true;
        } else if (page.outcome == profile::Outcome::NotKept) {
            key.kept = std::none_of(page.notKept.begin(), page.notKept.end(),
                                    [&](const pages::Mismatch &m) { return m.key == change.key; });
        }
        keys << key;
    }
    return keys;
}

Action actionOf(const profile::PrinterResult &printer, const QString &frontEnd, Kind kind,
                const QString &detail)
{
    Action action;
    action.frontEnd = frontEnd;
    action.serial = printer.serial;
    action.model = printer.model;
    action.usbPath = printer.path;
    action.kind = kind;
    action.detail = detail;
    action.outcome =
        profile::outcomeWithReason(printer.outcome(), printer.why(), printer.whyDetail());
    for (const profile::PageResult &page : printer.pages) {
        if (touched(page))
            action.keys << keysOf(page);
    }
    return action;
}

bool recordResult(const profile::PrinterResult &printer, const QString &frontEnd, Kind kind,
                  const QString &detail)
{
    const profile::Outcome outcome = printer.outcome();
    if (outcome == profile::Outcome::WouldWrite || outcome == profile::Outcome::Skipped)
        return false;
    return record(actionOf(printer, frontEnd, kind, detail));
}

} // namespace history
