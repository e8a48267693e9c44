// What the window records in the history: each page write with the keys it changed from what the
// last read showed, and the maintenance buttons. The serial number comes from the serial page when
// it was read from the same printer, else from its one query.
#include "window/app/mainwindow.h"

#include "core/history/record.h"
#include "core/printers/modelgate.h"
#include "core/profiles/results.h"
#include "core/protocol/maintenancecommands.h"
#include "ui_mainwindow.h"
#include "window/app/selectedprinter.h"
#include "window/pages/pageforms.h"

#include <QStatusBar>

namespace {

history::Action windowAction(const SelectedPrinter &printer, history::Kind kind,
                             const QString &detail, const QString &serial)
{
    history::Action action;
    action.frontEnd = history::kWindow;
    action.kind = kind;
    action.detail = detail;
    action.serial = serial;
    action.model = printer.modelKey().name();
    action.usbPath = printer.identity().path();
    return action;
}

} // namespace

void MainWindow::showHistoryProblem(const QString &problem) { statusBar()->showMessage(problem); }

std::unique_ptr<pages::SettingsPage> MainWindow::shownPage(Page page, const ModelKey &model) const
{
    switch (page) {
    case Page::Print:
        return pages::pageHolding(pageform::printSettingsFrom(*form), modelgate::offerOf(model));
    case Page::Distance:
        return pages::pageHolding(pageform::distancesFrom(*form));
    case Page::Serial:
        return pages::pageHolding(pageform::serialPortFrom(*form, serialNumberRead));
    case Page::Wifi:
        return pages::pageHolding(pageform::wifiFrom(*form));
    case Page::Bluetooth:
        return pages::pageHolding(pageform::bluetoothFrom(*form));
    case Page::WifiIp:
        return pages::pageHolding(pageform::wifiIpFrom(*form));
    case Page::Ethernet:
        return pages::pageHolding(pageform::ethernetFrom(*form));
    case Page::Count:
        break;
    }
    return nullptr;
}

void MainWindow::rememberRead(Page page, const ModelKey &model)
{
    pagesAsRead[int(page)] = shownPage(page, model);
}

QString MainWindow::serialNumberOf(const SelectedPrinter &printer)
{
    if (!history::ready())
        return QString();
    const std::unique_ptr<pages::SettingsPage> &serialPage = pagesAsRead[int(Page::Serial)];
    if (serialPage && pageReadFrom(Page::Serial) == printer.identity())
        return pages::valueOf(*serialPage, serialport::kSerialNumber);
    return history::askSerialNumber(printer.handle());
}

void MainWindow::recordWrite(Page page, const SelectedPrinter &printer, int result)
{
    const std::unique_ptr<pages::SettingsPage> &asRead = pagesAsRead[int(page)];
    if (!history::ready() || !asRead)
        return;
    std::unique_ptr<pages::SettingsPage> written = shownPage(page, printer.modelKey());
    history::Action action =
        windowAction(printer, history::Kind::Write, written->name(), serialNumberOf(printer));
    // The window sends what its page shows without reading it back.
    action.outcome = profile::outcomeText(result == 0 ? profile::Outcome::WrittenNotVerified
                                                      : profile::Outcome::Failed);
    action.keys = history::changedKeys(*asRead, *written);
    history::record(action);
    // Written values are what the printer holds now, as far as the window knows.
    if (result == 0)
        pagesAsRead[int(page)] = std::move(written);
}

void MainWindow::recordMaintenance(const SelectedPrinter &printer, const QString &serial,
                                   const maintenance::Command &command, int result)
{
    if (!history::ready())
        return;
    history::Action action =
        windowAction(printer, history::Kind::Maintenance, QLatin1String(command.name), serial);
    history::describeMaintenance(action, command, result);
    history::record(action);
}
