#pragma once

#include "core/printers/modelkey.h"
#include "core/usb/printerhandle.h"
#include "core/usb/printeridentity.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QListWidget;
class QListWidgetItem;
class QWidget;

// Whether a click is talking to a printer: from the moment a printer slot takes its row until it
// returns (message boxes it shows included). The printer list changes only in between.
class ClickTracker : public QObject
{
    Q_OBJECT
public:
    static ClickTracker &instance();
    bool clickInProgress() const { return clicks_ > 0; }

    // Holds the list still across a run of several printers, each opened on its own.
    class Scope
    {
    public:
        Scope() { instance().begin(); }
        ~Scope() { instance().end(); }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
    };

signals:
    // The last click in progress has ended (emitted from its end; connect queued to act after the
    // slot has returned).
    void clicksEnded();

private:
    friend class SelectedPrinter;
    void begin() { ++clicks_; }
    void end();
    int clicks_ = 0;
};

// The printer of the selected list row, found for the duration of one click. Construction runs
// the checks every printer slot starts with and shows their boxes itself: no row selected, or no
// printer at the row's port. The destructor closes the handle.
class SelectedPrinter
{
public:
    // `processEventsFirst`: let the event loop run pending events after the empty-list check
    // and before the row is taken (the Bluetooth read does). Queued clicks and selection changes
    // may run then, so the row, its item and its port are taken only afterwards.
    enum Events { TakeRowNow, ProcessEventsFirst };
    SelectedPrinter(QWidget *parent, const QListWidget *list, Events events = TakeRowNow);
    // For a write of values read earlier: they go back only to the printer they were read from
    // (`readFrom`; none when the page was not read). Any other current printer gets a box saying
    // to read the page from it first, and is not opened.
    SelectedPrinter(QWidget *parent, const QListWidget *list,
                    const std::optional<PrinterIdentity> &readFrom);
    // A listed printer, opened by its identity without any box: the caller reports a failure in
    // its own words (one line among those of other printers).
    SelectedPrinter(const PrinterIdentity &identity, const QString &rowText);
    ~SelectedPrinter();
    SelectedPrinter(const SelectedPrinter &) = delete;
    SelectedPrinter &operator=(const SelectedPrinter &) = delete;

    bool isOpen() const { return open_; }
    // The printer this click talks to.
    const PrinterIdentity &identity() const { return identity_; }
    PrinterHandle *handle() const { return handle_.get(); }
    // The printer as a question names it: model and USB path.
    const QString &name() const { return name_; }
    // The model as the model-support gate knows it ("<brand> <product> ").
    const ModelKey &modelKey() const { return modelKey_; }
    // Hands the open record to a new owner (the download worker), who must close it.
    std::unique_ptr<PrinterHandle> release()
    {
        open_ = false;
        return std::move(handle_);
    }

    // The port number from a row text's last three characters; 0 when they are not a number.
    static int portFromRow(const QString &rowText);
    // The printer a list row stands for (invalid for a row the printer list did not make).
    static PrinterIdentity identityOf(const QListWidgetItem *item);
    static void setIdentity(QListWidgetItem *item, const PrinterIdentity &identity);

private:
    void open(QWidget *parent, const QListWidget *list,
              const std::optional<PrinterIdentity> *readFrom);

    std::unique_ptr<PrinterHandle> handle_;
    PrinterIdentity identity_;
    QString name_;
    ModelKey modelKey_;
    bool open_ = false;
};
