#include "core/profiles/apply.h"

#include "core/profiles/profile.h"

#include <QObject>
#include <algorithm>

namespace profile {

namespace {
bool changes(const Merged &merged, std::size_t i)
{
    return pages::framesOf(*merged.merged[i]) != pages::framesOf(*merged.asRead[i]);
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

std::vector<PageResult> applyMerged(PrinterHandle *handle, const Merged &merged,
                                    const ModelKey &modelKey, bool verify, bool onlyDiffering,
                                    const std::function<void(const QString &page)> &beforeWrite)
{
    std::vector<PageResult> results;
    for (std::size_t i = 0; i < merged.merged.size(); ++i) {
        const pages::SettingsPage &page = *merged.merged[i];
        PageResult r;
        r.page = page.name();
        r.written = !onlyDiffering || changes(merged, i);
        if (r.written) {
            if (beforeWrite)
                beforeWrite(r.page);
            r.result = page.write(handle);
            if (r.result == 0 && verify)
                r.verification = pages::verifyWritten(handle, page, modelKey);
        }
        results.push_back(std::move(r));
    }
    return results;
}

int pagesToWrite(const Merged &merged)
{
    int count = 0;
    for (std::size_t i = 0; i < merged.merged.size(); ++i)
        count += changes(merged, i) ? 1 : 0;
    return count;
}

QString serialNumber(PrinterHandle *handle, const Merged &merged, const ModelKey &modelKey)
{
    const QString kSerial = QStringLiteral("serial");
    for (const auto &page : merged.asRead) {
        if (page->name() == kSerial)
            return pages::valueOf(*page, QStringLiteral("serial-number"));
    }
    if (merged.readResult != 0)
        return QString(); // the printer is not answering: nothing more is asked
    std::unique_ptr<pages::SettingsPage> page = pages::pageNamed(kSerial, modelKey);
    return page && page->read(handle) == 0 ? pages::valueOf(*page, QStringLiteral("serial-number"))
                                           : QString();
}

int pagesWritten(const std::vector<PageResult> &results)
{
    return int(std::count_if(results.begin(), results.end(),
                             [](const PageResult &r) { return r.written && r.result == 0; }));
}

Outcome outcomeOf(const std::vector<PageResult> &results)
{
    Outcome outcome = Outcome::Kept;
    for (const PageResult &r : results) {
        if (r.result != 0 || r.verification.readResult != 0)
            return Outcome::Failed;
        if (!r.verification.kept())
            outcome = Outcome::NotKept;
    }
    return outcome;
}

QString outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Kept:
        return QObject::tr("已写入并核对");
    case Outcome::NotKept:
        return QObject::tr("核对失败");
    case Outcome::Failed:
        break;
    }
    return QObject::tr("失败");
}

QStringList printerLine(const QString &path, const QString &serial, int written,
                        const QString &outcome)
{
    return {path, serial, QObject::tr("已写入 %1 个页面").arg(written), outcome};
}

} // namespace profile
