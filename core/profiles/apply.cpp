#include "core/profiles/apply.h"

#include "core/profiles/compare.h"
#include "core/profiles/profile.h"
#include "core/usb/printerhandle.h"

#include <QObject>

namespace profile {

namespace {

bool changes(const Merged &merged, std::size_t i)
{
    return pages::framesOf(*merged.merged[i]) != pages::framesOf(*merged.asRead[i]);
}

const QString kSerialPage = QStringLiteral("serial");
const QString kSerialKey = QStringLiteral("serial-number");

// The printer's serial number: from the pages read for the merge when they hold it (also when a
// later page's read failed), else read on its own, unless the printer stopped answering.
QString serialNumber(PrinterHandle *handle, const Merged &merged, const ModelKey &modelKey)
{
    for (const auto &page : merged.asRead) {
        if (page->name() == kSerialPage)
            return pages::valueOf(*page, kSerialKey);
    }
    if (merged.readResult != 0)
        return QString();
    std::unique_ptr<pages::SettingsPage> page = pages::pageNamed(kSerialPage, modelKey);
    return page && page->read(handle) == 0 ? pages::valueOf(*page, kSerialKey) : QString();
}

} // namespace

Merged mergeWithPrinter(PrinterHandle *handle, const QJsonObject &profilePages,
                        const ModelKey &modelKey)
{
    Merged m;
    // In the pages' own order (the window's tabs), not the file's alphabetical one.
    for (const QString &name : pages::pageNames()) {
        if (!profilePages.contains(name))
            continue;
        std::unique_ptr<pages::SettingsPage> page = pages::pageNamed(name, modelKey);
        if (!page)
            continue; // the profile was checked against this model: a page it does not offer
        // Read first: what the file does not carry (the serial number) stays this printer's.
        m.readResult = page->read(handle);
        if (m.readResult != 0) {
            m.failedPage = page->name();
            return m;
        }
        m.asRead.push_back(page->clone());
        if (!m.refusal)
            m.refusal = applyPage(profilePages.value(name).toObject(), *page);
        m.merged.push_back(std::move(page));
    }
    return m;
}

QList<Change> changesOf(const pages::SettingsPage &asRead, const pages::SettingsPage &page)
{
    QList<Change> found;
    const QStringList writable = page.writableKeys();
    const QMap<QString, qint64> wireBefore = asRead.wireValues(), wireAfter = page.wireValues();
    for (const auto &[key, after] : page.values()) {
        if (!writable.contains(key))
            continue;
        Change change{key, pages::valueOf(asRead, key), after, isSecret(page.name(), key)};
        if (change.before == change.after) {
            // The same text for other bytes (12 mm as 96 or as 100 dots): the wire values.
            if (!wireBefore.contains(key) || !wireAfter.contains(key) ||
                wireBefore.value(key) == wireAfter.value(key))
                continue;
            change.before = shownWireValue(page, key, wireBefore.value(key));
            change.after = shownWireValue(page, key, wireAfter.value(key));
        }
        found << change;
    }
    return found;
}

Reason failureOf(const PrinterHandle *handle)
{
    return handle && handle->notAnswering ? Reason::NotAnswering : Reason::ExchangeFailed;
}

PageResult writePage(PrinterHandle *handle, const pages::SettingsPage &asRead,
                     const pages::SettingsPage &page, const ModelKey &modelKey,
                     const ApplyOptions &options, bool send)
{
    PageResult r;
    r.page = page.name();
    r.changes = changesOf(asRead, page);
    if (!send)
        return r; // unchanged
    r.frames = pages::framesOf(page);
    if (options.dryRun) {
        r.outcome = Outcome::WouldWrite;
        return r;
    }
    if (page.write(handle) != 0) {
        r.outcome = Outcome::Failed;
        r.reason = failureOf(handle);
        return r;
    }
    r.sent = true;
    if (!options.verify) {
        r.outcome = Outcome::WrittenNotVerified;
        return r;
    }
    const pages::Verification v = pages::verifyWritten(handle, page, modelKey);
    if (v.readResult != 0) {
        r.outcome = Outcome::Failed;
        r.reason = failureOf(handle);
    } else if (!v.mismatches.isEmpty()) {
        r.outcome = Outcome::NotKept;
        r.notKept = v.mismatches;
    } else {
        r.outcome = Outcome::Verified;
    }
    return r;
}

Target targetOf(const ListedPrinter &listed)
{
    return {listed.identity.path(), listed.model(), listed.modelKey()};
}

PrinterResult printerResult(const Target &target, Outcome outcome, Reason reason,
                            const QString &detail)
{
    PrinterResult result;
    result.path = target.path;
    result.model = target.model;
    result.whole = outcome;
    result.reason = reason;
    result.detail = detail;
    return result;
}

PrinterResult applyMerged(PrinterHandle *handle, const Merged &merged, const Target &target,
                          const ApplyOptions &options, const BeforeWrite &beforeWrite)
{
    PrinterResult result = printerResult(target, Outcome::Unchanged, Reason::None);
    result.serial = serialNumber(handle, merged, target.modelKey);
    if (merged.readResult != 0) {
        result.whole = Outcome::Failed;
        result.reason = failureOf(handle);
        result.detail =
            merged.failedPage + QLatin1String(": ") + QObject::tr("请确保打印机已通过usb进行连接");
        return result;
    }
    if (merged.refusal) {
        result.whole = Outcome::Failed;
        result.reason = Reason::Refused;
        result.detail = *merged.refusal;
        return result;
    }
    const bool anyDiffers = pagesToWrite(merged) > 0;
    for (std::size_t i = 0; i < merged.merged.size(); ++i) {
        const bool send =
            options.pages == ApplyOptions::Pages::All ? anyDiffers : changes(merged, i);
        if (send && !options.dryRun && options.stopRequested && options.stopRequested()) {
            result.stoppedBefore = merged.merged[i]->name();
            break;
        }
        if (send && !options.dryRun && beforeWrite)
            beforeWrite(merged.merged[i]->name());
        result.pages.push_back(writePage(handle, *merged.asRead[i], *merged.merged[i],
                                         target.modelKey, options, send));
    }
    return result;
}

PrinterResult applyProfile(PrinterHandle *handle, const QJsonObject &profilePages,
                           const Target &target, const ApplyOptions &options,
                           const BeforeWrite &beforeWrite)
{
    // A model that offers no page (the model-support gate locks its settings) is not asked.
    if (pages::pagesForModel(target.modelKey).empty())
        return printerResult(target, Outcome::Skipped, Reason::NotOffered);
    return applyMerged(handle, mergeWithPrinter(handle, profilePages, target.modelKey), target,
                       options, beforeWrite);
}

int pagesToWrite(const Merged &merged)
{
    int count = 0;
    for (std::size_t i = 0; i < merged.merged.size(); ++i)
        count += changes(merged, i) ? 1 : 0;
    return count;
}

} // namespace profile
