#pragma once

#include <QMainWindow>
#include <QMessageBox>

class QTimer;
class WorkerThread;
struct PrinterHandle;

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

    // Read operations of the pages; each fills its page from query replies and returns the
    // result of its last query.
    int Message_Init(PrinterHandle *handle);

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
    // Firmware and font download (maintenance/downloadslots.cpp).
    void downloadFile(const QString &caption, const QString &filter);
    void showDownloadError(const QString &text);
    void endDownload(WorkerThread *worker);
    void setPrinterControlsLocked(bool locked);
    WorkerThread *downloadWorker = nullptr; // the download streaming now, if any

    struct InformationResults {
        int version = 0;
        int resolution = 0;
    };
    InformationResults readVersionAndResolution(PrinterHandle *handle);
    void onListSelectionChanged();
    void openSelectedPrinterOnly();

    Ui::MainWindow *form;
    QTimer *timer;
    QMessageBox messageBox;
};
