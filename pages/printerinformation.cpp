// The printer information group: model, version, resolution and maximum paper width.
#include "app/mainwindow.h"

#include "app/messages.h"
#include "app/selectedprinter.h"
#include "pages/pageslog.h"
#include "protocol/frame.h"
#include "protocol/printerqueries.h"
#include "ui_mainwindow.h"
#include "usb/deviceioopera.h"

#include <cstring>

Q_LOGGING_CATEGORY(lcPages, "labelsetup.pages")

namespace {

constexpr int kIdentificationTexts = 5;
constexpr int kModelText = 1;
constexpr int kDotsPerMmShift = 3; // 8 dots per millimetre

// The five NUL-terminated texts of the identification reply, one after the other. The buffer
// is zero beyond the payload, so all five are always found.
QStringList identificationTexts(const unsigned char *buffer)
{
    QStringList texts;
    std::size_t offset = 0;
    for (int i = 0; i < kIdentificationTexts; ++i) {
        const char *text = reinterpret_cast<const char *>(buffer + offset);
        const std::size_t length = strnlen(text, frame::kResultBufferSize - offset);
        texts << QString::fromUtf8(text, int(length));
        offset = qMin(offset + length + 1, frame::kResultBufferSize - 1);
    }
    return texts;
}

int littleEndian16(const unsigned char *bytes) { return bytes[0] | bytes[1] << 8; }

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
        form->lineEdit->setText(QString::number(littleEndian16(buffer)));
        form->lineEdit_2->setText(QString::number(littleEndian16(buffer + 2) >> kDotsPerMmShift));
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
        const QStringList texts = identificationTexts(buffer);
        const char *labels[kIdentificationTexts] = {
            "vidSString:", "pidSString:", "vidPtring:", "pidPtring:", "messagetring:"};
        for (int i = 0; i < kIdentificationTexts; ++i)
            qCDebug(lcPages).noquote() << labels[i] << texts[i];
        form->lineEdit_49->setText(texts[kModelText]);
    }
    // A failed query of any of the three is a failed read, not only the identification.
    const bool failed = r != CDeviceIOOpera::kOk || information.version != CDeviceIOOpera::kOk ||
                        information.resolution != CDeviceIOOpera::kOk;
    messages::show(this,
                   failed ? QObject::tr("请确保打印机已通过USB进行连接") : QObject::tr("获取成功"));
}
