#pragma once

#include "core/printers/printerlist.h"
#include "core/profiles/results.h"
#include "core/settings/settingspage.h"

#include <QJsonObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct PrinterHandle;

// Applying a profile to one printer: every page read and merged with the profile and checked
// first, so that nothing is written when any page would be refused; then written and each
// written page read back. The one way settings from a profile reach a printer: the command line
// and the window only choose the options and show the result.
namespace profile {

struct ApplyOptions {
    enum class Pages {
        Differing, // only the pages whose write would send other frames than the printer's values
        All,       // every page of the profile, once any of them differs
    };
    Pages pages = Pages::Differing;
    bool verify = true;  // read each written page back and compare
    bool dryRun = false; // work out the frames, send none
    // Asked before each page is written (a run over many printers being stopped): when it says
    // stop, the apply ends there, the pages before it written whole and none after it begun.
    std::function<bool()> stopRequested;
    Asked asked() const { return {verify, dryRun}; }
};

// The printer a profile goes to, as its result names it.
struct Target {
    QString path;      // USB path
    QString model;     // "<brand> <product>"
    ModelKey modelKey; // as the model-support gate knows it
};

// A listed printer as the apply names it.
Target targetOf(const ListedPrinter &listed);

struct Merged {
    int readResult = 0;             // the first failed read; nothing may be written then
    QString failedPage;             // the page whose read failed
    std::optional<QString> refusal; // a merged page that would be refused, named by page and key
    std::vector<std::unique_ptr<pages::SettingsPage>> asRead; // the printer's pages as read
    std::vector<std::unique_ptr<pages::SettingsPage>> merged; // the same with the profile's values
    bool ready() const { return readResult == 0 && !refusal; }
};

// Reads every page of `profilePages` (page name -> page object, checked beforehand) from the
// printer and merges the profile into it. Stops at the first failed read.
Merged mergeWithPrinter(PrinterHandle *handle, const QJsonObject &profilePages,
                        const ModelKey &modelKey);

// Hears of each page about to be written (a progress display).
using BeforeWrite = std::function<void(const QString &page)>;

// Writes the merged pages in order as the options say. A merge that failed or was refused ends
// as the printer's failure, nothing written. The serial number is filled in from the pages read
// (or read on its own).
PrinterResult applyMerged(PrinterHandle *handle, const Merged &merged, const Target &target,
                          const ApplyOptions &options, const BeforeWrite &beforeWrite = {});
// Read, merge, check, write, read back: the whole apply. A model that offers no page is skipped.
PrinterResult applyProfile(PrinterHandle *handle, const QJsonObject &profilePages,
                           const Target &target, const ApplyOptions &options,
                           const BeforeWrite &beforeWrite = {});

// One page: `page` holds the values to write, `asRead` the printer's. Written when `send` (else
// unchanged), or only shown in a dry run; read back when verifying.
PageResult writePage(PrinterHandle *handle, const pages::SettingsPage &asRead,
                     const pages::SettingsPage &page, const ModelKey &modelKey,
                     const ApplyOptions &options, bool send);
// The values a write of `page` over `asRead` changes, key by key (secrets marked).
QList<Change> changesOf(const pages::SettingsPage &asRead, const pages::SettingsPage &page);

// A printer that was not worked on or failed before its first page.
PrinterResult printerResult(const Target &target, Outcome outcome, Reason reason,
                            const QString &detail = QString());
// Why the last exchange of `handle` failed: the printer stopped answering, or otherwise.
Reason failureOf(const PrinterHandle *handle);

// The pages a write of the merged profile would change (those whose frames differ).
int pagesToWrite(const Merged &merged);

} // namespace profile
