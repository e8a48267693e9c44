#pragma once

#include "core/settings/settingspage.h"
#include "core/settings/verify.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct PrinterHandle;

// Applying a profile to one printer: every page read and merged with the profile first, then
// written, each page verified by reading it back.
namespace profile {

struct Merged {
    int readResult = 0;             // the first failed read; nothing may be written then
    QString failedPage;             // the page whose read failed
    std::optional<QString> refusal; // a merged page that would be refused, named by page and key
    std::vector<std::unique_ptr<pages::SettingsPage>> asRead; // the printer's pages as read
    std::vector<std::unique_ptr<pages::SettingsPage>> merged; // the same with the profile's values
    bool ready() const { return readResult == 0 && !refusal; }
};

// Reads every page of `profilePages` (page name -> page object, checked beforehand) from the
// printer and merges the profile into it.
Merged mergeWithPrinter(PrinterHandle *handle, const QJsonObject &profilePages,
                        const ModelKey &modelKey);

struct PageResult {
    QString page;
    bool written = false; // false: the printer already had the profile's values
    int result = 0;       // the write's first failure
    pages::Verification verification;
    bool ok() const { return result == 0 && verification.kept(); }
};

// Writes the merged pages in order: every page, or with `onlyDiffering` only those whose write
// would send other frames than the printer's values do. With `verify` each written page is read
// back. Call only when `merged.ready()`. `beforeWrite` hears of each page about to be written.
std::vector<PageResult>
applyMerged(PrinterHandle *handle, const Merged &merged, const ModelKey &modelKey, bool verify,
            bool onlyDiffering, const std::function<void(const QString &page)> &beforeWrite = {});
// The printer's serial number: from the pages read for the merge when they hold it (also when a
// later page's read failed), else read on its own.
QString serialNumber(PrinterHandle *handle, const Merged &merged, const ModelKey &modelKey);

// The pages a write of the merged profile would change (those whose frames differ).
int pagesToWrite(const Merged &merged);
// The pages written without a failure.
int pagesWritten(const std::vector<PageResult> &results);

// How applying a profile to one printer ended: Failed when anything could not be done (a write or
// a read-back failed, or the printer could not be read or used at all), NotKept when the printer
// kept another value than the one written.
enum class Outcome { Kept, NotKept, Failed };
Outcome outcomeOf(const std::vector<PageResult> &results);
// "已写入并核对", "核对失败" or "失败".
QString outcomeText(Outcome outcome);
// The fields of a printer's result line where a profile goes to many printers: USB path, serial
// number, pages written, outcome.
QStringList printerLine(const QString &path, const QString &serial, int written,
                        const QString &outcome);

} // namespace profile
