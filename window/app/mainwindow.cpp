#include "window/app/mainwindow.h"

#include "window/app/applog.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "window/app/windowsize.h"
#include "window/pages/fieldwidgets.h"
#include "core/printers/modelgate.h"
#include "core/printers/printerlist.h"
#include "core/protocol/printerstatus.h"
#include "ui_mainwindow.h"
#include "core/usb/deviceioopera.h"

#include <QLabel>
#include <QTimer>

Q_LOGGING_CATEGORY(lcApp, "labelsetup.app")

namespace {

constexpr int kSettingsTab = 0;
constexpr int kFunctionsTab = 1;
constexpr int kEthernetPage = 5;
const char kComboStyle[] = "QComboBOX QAbstractItemView {background-color:white;}";

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), form(new Ui::MainWindow), timer(nullptr)
{
    form->setupUi(this);
    timer = new QTimer(this);
    windowsize::fitContents(*form);

    // USB is the only connection the tool uses; the boxes only say so.
    form->checkBox->setChecked(true);
    for (QWidget *w : {form->checkBox, form->checkBox_2, form->checkBox_3})
        w->setEnabled(false);

    form->comboBox_23->setEnabled(true);
    form->label_37->setEnabled(true);

    // Display-only fields, and the print method that only some models offer.
    for (QWidget *w : std::initializer_list<QWidget *>{
             form->lineEdit_7, form->lineEdit_31, form->lineEdit_32, form->lineEdit_49,
             form->lineEdit, form->lineEdit_39, form->lineEdit_8, form->lineEdit_2,
             form->comboBox_9, form->label_41})
        w->setEnabled(false);

    form->progressBar->setValue(0);

    // A page is read from the printer before it can be written.
    for (QWidget *w : {form->pushButton_18, form->pushButton_14, form->pushButton_24,
                       form->pushButton_26, form->pushButton_30, form->pushButton_28})
        w->setEnabled(false);

    connect(form->tabWidget_2, &QTabWidget::currentChanged, this, &MainWindow::onTabChanged);
    connect(
        form->listWidget, &QListWidget::itemSelectionChanged, form->listWidget,
        [this] { onListSelectionChanged(); }, Qt::DirectConnection);
    // However a row becomes current (mouse, keyboard focus, a new list), nothing of another
    // printer stays on show.
    connect(
        form->listWidget, &QListWidget::currentItemChanged, form->listWidget,
        [this] { onCurrentPrinterChanged(); }, Qt::DirectConnection);
    printerLine = new QLabel(form->statusbar);
    printerLine->setObjectName(QStringLiteral("printerLine"));
    form->statusbar->addWidget(printerLine, 1);
    connect(form->listWidget, &QListWidget::itemSelectionChanged, this,
            [this] { showSelectedPrinter(); });

    for (QWidget *w : {form->comboBox, form->comboBox_2, form->comboBox_9, form->comboBox_3,
                       form->comboBox_12, form->comboBox_20, form->comboBox_15, form->comboBox_23,
                       form->comboBox_8, form->comboBox_14, form->comboBox_11, form->comboBox_24,
                       form->comboBox_25, form->comboBox_26, form->comboBox_27})
        w->setStyleSheet(QString::fromLatin1(kComboStyle));

    createProfileMenu();
    setFollowingPlugs(true);
}

MainWindow::~MainWindow() { delete form; }

void MainWindow::onTabChanged()
{
    // Disabling the shown tab makes Qt show another; the printer just picked stays selected.
    if (gateChangingTabs)
        return;
    const QWidget *current = form->tabWidget_2->currentWidget();
    if (current == form->tab_7 || current == form->tab_8 || current == form->tab)
        form->listWidget->setCurrentRow(-1);
}

void MainWindow::CloseMessage()
{
    qCDebug(lcApp, "timeout close message");
    messageBox.hide();
    timer->stop();
}

void MainWindow::onListSelectionChanged()
{
    // Clearing the list first drops the selection while the old current item still exists;
    // only a selected current row names a printer.
    const QListWidgetItem *item = form->listWidget->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString text = item->text();
    const ModelKey key = ModelKey::ofRow(text);
    if (!text.contains(QStringLiteral("USB")))
        qCDebug(lcApp, "USB not found in the string.");
    else
        qCDebug(lcApp).noquote() << "Content before USB:" << key.text();

    const supportedprinters::Offer offer = modelgate::offerOf(key);
    gateChangingTabs = true;
    form->tabWidget_2->setTabEnabled(kSettingsTab, offer.settingsPages);
    form->tabWidget_2->setTabEnabled(kFunctionsTab, offer.maintenance);
    gateChangingTabs = false;
    form->pushButton_35->setEnabled(offer.fontDownload);

    form->toolBox->setItemEnabled(kEthernetPage, offer.ethernet);
    form->toolBox->setItemText(kEthernetPage, offer.ethernet ? QObject::tr("网口设置")
                                                             : QObject::tr("此机型不支持此功能"));
    explainModelSupport(offer);

    form->comboBox->clear();
    disableWriteButtons();
    forgetSerialNumber();
    form->comboBox_9->setEnabled(offer.printMethod);
    form->label_41->setEnabled(offer.printMethod);

    for (int speed = 0; speed < offer.printSpeeds; ++speed)
        form->comboBox->addItem(QString::number(speed));
}

void MainWindow::disableWriteButtons()
{
    // Values read from one printer are never written to another by mistake: every write button
    // waits for a read of the newly selected printer, the distance page's included.
    for (QWidget *w :
         {form->pushButton_18, form->pushButton_14, form->pushButton_24, form->pushButton_26,
          form->pushButton_28, form->pushButton_32, form->pushButton_30})
        w->setEnabled(false);
}

void MainWindow::onCurrentPrinterChanged()
{
    const PrinterIdentity current = SelectedPrinter::identityOf(form->listWidget->currentItem());
    if (current == currentPrinter)
        return;
    currentPrinter = current;
    for (QLineEdit *shown :
         {form->lineEdit_49, form->lineEdit_32, form->lineEdit, form->lineEdit_2})
        shown->clear();
    forgetSerialNumber();
}

void MainWindow::explainModelSupport(const supportedprinters::Offer &offer)
{
    const auto tip = [](bool offered) {
        return offered ? QString() : QObject::tr("此机型不支持此功能");
    };
    form->tabWidget_2->setTabToolTip(kSettingsTab, tip(offer.settingsPages));
    form->tabWidget_2->setTabToolTip(kFunctionsTab, tip(offer.maintenance));
    form->pushButton_35->setToolTip(tip(offer.fontDownload));
    form->toolBox->setItemToolTip(kEthernetPage, tip(offer.ethernet));
    form->comboBox_9->setToolTip(tip(offer.printMethod));
    form->label_41->setToolTip(tip(offer.printMethod));
}

void MainWindow::showSelectedPrinter(const QString &version)
{
    const QListWidgetItem *item = form->listWidget->currentItem();
    if (!item || !item->isSelected()) {
        printerLine->clear();
        return;
    }
    // A message about a printer that left would hide the line of the one selected now.
    form->statusbar->clearMessage();
    const ModelKey model = ModelKey::ofRow(item->text());
    QString text =
        QObject::tr("已选打印机：%1 %2，USB路径 %3")
            .arg(model.brand(), model.product(), SelectedPrinter::identityOf(item).path());
    if (!version.isEmpty())
        text = QObject::tr("%1，版本 %2").arg(text, version);
    printerLine->setText(text);
}

void MainWindow::on_pushButton_6_clicked() { showPrinters(listSupportedPrinters()); }

void MainWindow::on_pushButton_15_clicked()
{
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    unsigned char reply[4] = {};
    int length = sizeof reply;
    qCDebug(lcApp, "in mesage :%02X,%02X,%02X,%02X,%02X", 0xFF, 0x00, 0x00, 0x04, 0x00);
    std::optional<unsigned int> word;
    if (CDeviceIOOpera::ReadFromControlEndpoint(printer.handle(), reply, length) == 0)
        word = statusWordFromBytes(reply, length);
    if (!word) {
        messages::connectionFailed(this);
        return;
    }
    qCDebug(lcApp, "%02X", *word);
    const QString text = checkPrinterStatus(*word);
    messages::show(this, text.isEmpty() ? QObject::tr("空闲中") : text);
}

bool MainWindow::refuse(const std::optional<pages::Refusal> &refusal,
                        const pageform::FieldLabels &labels)
{
    if (!refusal)
        return false;
    QString name = refusal->field;
    for (const pageform::FieldLabel &entry : labels) {
        if (entry.key == refusal->field)
            name = pages::fieldName(entry.label);
    }
    messages::refused(this, name, *refusal);
    return true;
}
