// The printer information group: model, version, resolution and maximum paper width.
#include "app/mainwindow.h"

#include "app/messages.h"
#include "app/selectedprinter.h"
#include "pages/pageslog.h"
#include "pages/serialport.h"
#include "protocol/frame.h"
#include "protocol/printerqueries.h"
#include "ui_mainwindow.h"
#include "usb/deviceioopera.h"

#include <cstring>

Q_LOGGING_CATEGORY(lcPages, "labelsetup.pages")

namespace {

constexpr int kModelText = 1;
constexpr int kDotsPerMmShift = 3; // 8 dots per millimetre

} // namespace

int MainWindow::Message_Init(PrinterHandle *handle)
{
    return readVersionAndResolution(handle).resolution;
}

MainWindow::InformationResults MainWindow::readVersionAndResolution(PrinterHandle *handle)
{
    InformationResults results;
    unsigned char buffer[frame::kResultBufferSize] = {};
    results.version = GetPrinterStatusInfo(handle, POWER_VERSION, buffer);
    if (results.version == CDeviceIOOpera::kOk) {
        const char *text = reinterpret_cast<const char *>(buffer);
        form->lineEdit_32->setText(QString::fromLocal8Bit(text, int(strnlen(text, sizeof buffer))));
    }
    results.resolution = GetPrinterStatusInfo(handle, POWER_RESOLUTION_AND_WIDTH, buffer);
    if (results.resolution == CDeviceIOOpera::kOk) {
        form->lineEdit->setText(QString::number(frame::readUint16Le(buffer)));
        form->lineEdit_2->setText(QString::number(frame::readUint16Le(buffer + 2) >> kDotsPerMmShift));
    }
    return results;
}

void MainWindow::on_pushButton_clicked()
{
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    unsigned char buffer[frame::kResultBufferSize] = {};
    const InformationResults information = readVersionAndResolution(printer.handle());
    const int r = GetPrinterInfo(printer.handle(), INFO_DEVICE_IDENTIFICATION, buffer);
    if (r == CDeviceIOOpera::kOk) {
        // The reply is at most 255 bytes in a zero-filled 1024-byte buffer: all five are there.
        if (const std::optional<QStringList> texts = serialport::identificationTexts(buffer))
            form->lineEdit_49->setText(texts->at(kModelText));
    }
    // A failed query of any of the three is a failed read, not only the identification.
    const bool failed = r != CDeviceIOOpera::kOk || information.version != CDeviceIOOpera::kOk ||
                        information.resolution != CDeviceIOOpera::kOk;
    messages::show(this,
                   failed ? QObject::tr("请确保打印机已通过USB进行连接") : QObject::tr("获取成功"));
}
