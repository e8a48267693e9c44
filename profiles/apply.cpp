#include "profiles/apply.h"

#include "profiles/profile.h"

namespace profile {

Merged mergeWithPrinter(PrinterHandle *handle, const QJsonObject &profilePages,
                        const QString &modelKey)
{
    Merged m;
    for (auto it = profilePages.begin(); it != profilePages.end(); ++it) {
        std::unique_ptr<pages::SettingsPage> page = pages::pageNamed(it.key(), modelKey);
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
            m.refusal = applyPage(it.value().toObject(), *page);
        m.merged.push_back(std::move(page));
    }
    return m;
}

std::vector<PageResult> applyMerged(PrinterHandle *handle, const Merged &merged,
                                    const QString &modelKey, bool verify, bool onlyDiffering)
{
    std::vector<PageResult> results;
    for (std::size_t i = 0; i < merged.merged.size(); ++i) {
        const pages::SettingsPage &page = *merged.merged[i];
        PageResult r;
        r.page = page.name();
        r.written = !onlyDiffering || pages::framesOf(page) != pages::framesOf(*merged.asRead[i]);
        if (r.written) {
            r.result = page.write(handle);
            if (r.result == 0 && verify)
                r.verification = pages::verifyWritten(handle, page, modelKey);
        }
        results.push_back(std::move(r));
    }
    return results;
}

} // namespace profile
