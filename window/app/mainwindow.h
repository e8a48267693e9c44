#pragma once

#include "core/printers/printerlist.h"
#include "core/printers/supportedprinters.h"
#include "core/settings/bluetooth.h"
#include "core/settings/distances.h"
#include "core/settings/ethernet.h"
#include "core/settings/pageexchange.h"
#include "core/settings/pagefields.h"
#include "core/settings/printsettings.h"
#include "core/settings/serialport.h"
#include "core/settings/settingspage.h"
#include "core/settings/wifi.h"
#include "core/settings/wifiip.h"
#include "core/usb/printeridentity.h"
#include "window/app/selectedprinter.h"
#include "window/pages/pageforms.h"

#include <QMainWindow>
#include <QMessageBox>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QListWidgetItem;
class QMenu;
class QTimer;
class PrinterReturn;
class SelectedPrinter;
namespace download {
struct Manifest;
}
class PrinterWatcher;
class SelectedPrinter;
class WorkerThread;
struct PrinterHandle;
namespace maintenance {
struct Command;
}

namespace Ui {
class MainWindow;
}

// The one window of the tool. Every printer slot opens the selected printer for the duration of
// one click; nothing stays open between clicks.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Whether the printer list follows plugs and unplugs by itself. On from the start where the
    // system offers USB hot-plug events; a benchmark compares the window without.
    void setFollowingPlugs(bool on);
    bool isFollowingPlugs() const;

    // Says in the status bar that the history is off, and why (app/recording.cpp).
    void showHistoryProblem(const QString &problem);

    // Read operations of the pages; each fills its page from query replies and returns the
    // result of its last query.
    // With the fix that a failure anywhere is reported, they return 0 when every query
    // succeeded, else the result of the first that failed.
    int Message_Init(PrinterHandle *handle);
    int Print_Init(PrinterHandle *handle);
    int Distance_Init(PrinterHandle *handle);
    int USB_Init(PrinterHandle *handle);
    int Wifi_Init(PrinterHandle *handle);
    int Blueteeth_Init(PrinterHandle *handle);
    int IP_Init(PrinterHandle *handle);
    int Net_Init(PrinterHandle *handle);

    // Set operations: each sends one setting of its page as the widgets show it and returns the
    // exchange's result (0 also when the setting is skipped because its box has no item).
    int Set_Send_SPEED_Instruction(PrinterHandle *handle);
    int Set_Send_DEFAULT_CODE_Instruction(PrinterHandle *handle);
    int Set_Send_SIMULATION_Instruction(PrinterHandle *handle);
    int Set_Send_Densty_SETTING_Instruction(PrinterHandle *handle);
    int Set_Send_PAPER_TYPE_Instruction(PrinterHandle *handle);
    int Set_Send_LABLE_CLEARANCE_Instruction(PrinterHandle *handle);
    int Set_Send_BLACK_CLEARANCE_Instruction(PrinterHandle *handle);
    int Set_Send_PRINT_DIRECTION_Instruction(PrinterHandle *handle);
    int Set_Send_PRINT_OFFSET_Instruction(PrinterHandle *handle);
    int Set_Send_VERTICAL_MIGRATION_Instruction(PrinterHandle *handle);
    int Set_Send_BLACK_MODE_Instruction(PrinterHandle *handle);
    int Set_Send_RESET_SETTING_Instruction(PrinterHandle *handle);
    int Set_PRINTER_MODE_Instruction(PrinterHandle *handle);
    int Set_Send_THE_DISTANCE_OF_THE_PAPER_EDGE_IS_OUT_Instruction(PrinterHandle *handle);
    int Set_Send_SEAM_TO_PRINT_HRAD_DISTANCE_Instruction(PrinterHandle *handle);
    int Set_Send_BLACK_TO_PRINT_HEAD_DISTANCE_Instruction(PrinterHandle *handle);
    int Set_Send_PRINT_HEAD_TO_TEAR_DISTANCE_Instruction(PrinterHandle *handle);
    int Set_Send_SERIAL_PORT_Instruction(PrinterHandle *handle);
    int Set_Send_SN_Instruction(PrinterHandle *handle);
    int Set_Send_WIFI_MODE_Instruction(PrinterHandle *handle);
    int Set_Send_CONNECT_AP_INFORMATION_Instruction(PrinterHandle *handle);
    int Set_Send_AP_MODE_Instruction(PrinterHandle *handle);
    int Set_Send_TCP_SERVICE_PORT_NUMBER_Instruction(PrinterHandle *handle);
    int Set_Send_BR_EDR_NAME_Instruction(PrinterHandle *handle);
    int Set_Send_BLE_NAME_Instruction(PrinterHandle *handle);
    int Set_Send_SPP_MODE_Instruction(PrinterHandle *handle);
    int Set_Send_PIN_Instruction(PrinterHandle *handle);
    int Set_Send_IP_MESSAGE_Instruction(PrinterHandle *handle);
    int Net_Set(PrinterHandle *handle);
    int Set_Send_PORT_MESSAGE_Instruction(PrinterHandle *handle);

    // The order of these slots is their method index in the meta-object (0 to 36); keep it.
private slots:
    void on_pushButton_clicked();
    void CloseMessage();
    void onTabChanged();
    void on_pushButton_27_clicked();
    void on_pushButton_25_clicked();
    void on_pushButton_23_clicked();
    void on_pushButton_17_clicked();
    void on_pushButton_13_clicked();
    void on_pushButton_14_clicked();
    void on_pushButton_18_clicked();
    void on_pushButton_24_clicked();
    void on_pushButton_26_clicked();
    void on_pushButton_28_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_8_clicked();
    void on_pushButton_7_clicked();
    void on_pushButton_10_clicked();
    void on_pushButton_9_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_11_clicked();
    void on_pushButton_12_clicked();
    void on_pushButton_29_clicked();
    void on_pushButton_21_clicked();
    void on_pushButton_20_clicked();
    void on_pushButton_19_clicked();
    void on_pushButton_16_clicked();
    void on_pushButton_15_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_22_clicked();
    void on_pushButton_31_clicked();
    void on_pushButton_30_clicked();
    void on_pushButton_33_clicked();
    void on_pushButton_32_clicked();
    void on_pushButton_34_clicked();
    void on_pushButton_35_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Firmware and font download (app/downloadslots.cpp).
    void downloadFile(const QString &caption, const QString &filter);
    void showDownloadError(const QString &text);
    struct Pending;
    // The questions before the stream (maintenance/downloadchecks.cpp); true to go on.
    bool askBeforeDownload(SelectedPrinter &printer, const download::Manifest *manifest,
                           QString announcement);
    void endDownload(WorkerThread *worker, const std::shared_ptr<Pending> &pending);
    void reportDownload(const std::shared_ptr<Pending> &pending);
    void setPrinterControlsLocked(bool locked);
    WorkerThread *downloadWorker = nullptr;  // the download streaming now, if any
    PrinterReturn *downloadReturn = nullptr; // waiting for its printer to answer again after it

    // Printer profiles (app/profileslots.cpp): the "配置文件" menu and what it does.
    void createProfileMenu();
    void showHistory(); // app/historyslots.cpp: the selected printer's history, and undo
    void saveProfile();
    void compareWithProfile();
    void applyProfile();
    void applyProfileToModel();
    QMenu *profileMenu = nullptr;

    void onListSelectionChanged();
    // Tooltips on the controls the model-support gate turned off, saying why.
    void explainModelSupport(const supportedprinters::Offer &offer);
    // The status line: the selected printer (brand, product, where it is plugged in) and, once
    // read, its version; empty while no printer is selected.
    void showSelectedPrinter(const QString &version = QString());
    QLabel *printerLine = nullptr;
    void disableWriteButtons();

    // The printer list (app/printerrows.cpp). Get list shows every printer anew; a plug or an
    // unplug adds and removes rows and keeps the rest, the selection included. Nothing changes
    // while a click talks to a printer or a download streams: it is caught up with afterwards.
    void showPrinters(const QList<ListedPrinter> &printers);
    QListWidgetItem *printerItem(const ListedPrinter &printer, const QString &text) const;
    void followPlugs();
    void catchUpWithPlugs();
    void updatePrinterRows(const QList<ListedPrinter> &attached);
    void offerAccessRemedy();
    PrinterWatcher *printerWatcher = nullptr;
    QList<ListedPrinter> listedPrinters; // the printer of each row, in row order
    bool plugsPending = false;
    bool remedyOffered = false;

    // Shows the warning box that names the refused field by its label on the page; true when
    // there was a refusal.
    bool refuse(const std::optional<pages::Refusal> &refusal, const pageform::FieldLabels &labels);

    // One setting of a page as the widgets show it, for the page's set operations; a page's
    // write sends its codec's whole sequence instead (app/*slots.cpp).
    int sendPrintSetting(PrinterHandle *handle, printsettings::Setting setting);
    int sendDistance(PrinterHandle *handle, distances::Distance distance);
    int sendSerialPortCommand(PrinterHandle *handle, serialport::Command command);
    // The serial number the last read of the serial page took from the selected printer; gone
    // when that query failed or another printer was selected since.
    void forgetSerialNumber();

    int sendWifiCommand(PrinterHandle *handle, wifi::Command command);
    int sendBluetoothSetting(PrinterHandle *handle, SetInfoType code);
    int sendEthernetBlock(PrinterHandle *handle, SetInfoType code);

    void runMaintenanceCommand(const char *button);

    Ui::MainWindow *form;
    QTimer *timer;
    QMessageBox messageBox;

    // Each settings page's values belong to the printer they were read from, and a write sends
    // them to that printer only.
    enum class Page { Print, Distance, Serial, Wifi, Bluetooth, WifiIp, Ethernet, Count };
    std::optional<PrinterIdentity> &pageReadFrom(Page page) { return pagesReadFrom[int(page)]; }
    std::array<std::optional<PrinterIdentity>, int(Page::Count)> pagesReadFrom;
    // The history (app/recording.cpp): each page's values as the last successful read showed
    // them, and a write recorded with what it changed from those.
    std::array<std::unique_ptr<pages::SettingsPage>, int(Page::Count)> pagesAsRead;
    std::unique_ptr<pages::SettingsPage> shownPage(Page page, const ModelKey &model) const;
    void rememberRead(Page page, const ModelKey &model);
    void recordWrite(Page page, const SelectedPrinter &printer, int result);
    void recordMaintenance(const SelectedPrinter &printer, const QString &serial,
                           const maintenance::Command &command, int result);
    // The printer's serial number while recording (empty otherwise): from the serial page when it
    // was read from this printer, else asked.
    QString serialNumberOf(const SelectedPrinter &printer);

    // The read and write buttons of the settings pages (app/pageslots.cpp).
    // Runs a page's read operation on the selected printer and shows the result. A read in which
    // every query succeeded enables the page's write button and ties the values to that printer.
    // Nullopt when no printer was opened.
    std::optional<int> readPage(Page page, int (MainWindow::*read)(PrinterHandle *),
                                QWidget *writeButton,
                                SelectedPrinter::Events events = SelectedPrinter::TakeRowNow);
    // Opens the printer the page was read from and runs `write` on it; shows the result, unless
    // `write` gives none (it refused the values and said why).
    void writePage(Page page, const std::function<std::optional<int>(PrinterHandle *)> &write);
    // Sends the page codec's write sequence for `values`; nullopt, sending nothing, when the codec
    // refuses one of them (the warning box names the field by its label).
    template <typename Values>
    std::optional<int> sendPage(PrinterHandle *handle, const Values &values,
                                std::optional<pages::Refusal> (*validate)(const Values &),
                                std::vector<pages::SetCommand> (*commands)(const Values &),
                                const pageform::FieldLabels &labels)
    {
        if (refuse(validate(values), labels))
            return std::nullopt;
        return pages::sendCommands(handle, commands(values));
    }

    // The printer of the current row; another one becoming current clears what was read from
    // the one before.
    PrinterIdentity currentPrinter;
    void onCurrentPrinterChanged();

    // The model-support gate disables tabs; the tab change that causes is not the user's.
    bool gateChangingTabs = false;
    std::optional<QByteArray> serialNumberRead;
};
