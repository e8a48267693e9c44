#include "core/download/workerthread.h"

#include "core/base/filenames.h"
#include "core/base/logging.h"
#include "core/download/downloadlog.h"
#include "core/usb/deviceioopera.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

Q_LOGGING_CATEGORY(lcDownload, "labelsetup.download")
Q_LOGGING_CATEGORY(lcDownloadData, logging::kDownloadDataCategory, QtInfoMsg)

namespace {

// A little larger than a chunk, zero beyond it.
constexpr int kSendBufferSize = 1032;

// Whole percent of the file sent, truncated toward zero; exact in 64-bit integers.
int percentOf(qint64 sent, qint64 size) { return int(sent * 100 / size); }

} // namespace

WorkerThread::WorkerThread(QObject *parent) : QThread(parent) {}

WorkerThread::~WorkerThread()
{
    requestInterruption();
    wait();
    // Never started: what was handed over is still ours to give back.
    if (printerHandle) {
        releasePrinter();
        removeSideFile();
    }
}

void WorkerThread::handOver(std::unique_ptr<PrinterHandle> printer, const QString &sideFile)
{
    printerHandle = std::move(printer);
    // The chunks are shown only in the data category, never in the transport's log.
    if (printerHandle)
        printerHandle->payloadNotLogged = true;
    filePath = sideFile;
}

void WorkerThread::run()
{
    sendFileData();
    // The record is closed before anyone hears of the end, so the printer is free by then.
    releasePrinter();
    emit finished();
}

void WorkerThread::releasePrinter()
{
    if (!printerHandle)
        return;
    CDeviceIOOpera::ClosePrinterHandle(printerHandle.get());
    printerHandle.reset();
}

void WorkerThread::removeSideFile()
{
    if (!filePath.isEmpty() && filenames::exists(filePath) && !filenames::remove(filePath))
        qCWarning(lcDownload).noquote() << "could not remove" << filePath;
}

bool WorkerThread::write(unsigned char *buffer, int length)
{
    int replyLength = 0;
    return CDeviceIOOpera::PrinterDataIOButton(printerHandle.get(), buffer, length, buffer,
                                               replyLength) == CDeviceIOOpera::kOk;
}

void WorkerThread::sendFileData()
{
    qCDebug(lcDownload).noquote() << "Current working directory:" << QDir::currentPath();
    QFile file;
    if (!filenames::open(file, filePath, QIODevice::ReadOnly)) {
        emit errorOccurred(
            tr("打开文件失败：%1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        removeSideFile();
        return;
    }
    const qint64 size = file.size();
    qint64 sent = 0;
    bool lastChunkFull = true;
    unsigned char buffer[kSendBufferSize];
    // Stops at the first write the printer did not take: later chunks would land at the wrong
    // place in the image, and a retry could send a chunk twice.
    const auto failed = [&] {
        emit errorOccurred(tr("下载失败：已发送 %1 / %2 字节（%3%）")
                               .arg(sent)
                               .arg(size)
                               .arg(size > 0 ? percentOf(sent, size) : 0));
        file.close();
        removeSideFile();
    };
    for (;;) {
        if (isInterruptionRequested()) {
            qCWarning(lcDownload, "download stopped after %lld of %lld bytes: the window closed",
                      sent, size);
            failed();
            return;
        }
        const qint64 n = file.read(reinterpret_cast<char *>(buffer), kChunkSize);
        if (n < 0) {
            emit errorOccurred(tr("读取文件失败：%1").arg(file.errorString()));
            file.close();
            removeSideFile();
            return;
        }
        if (n == 0)
            break;
        if (lcDownloadData().isDebugEnabled())
            qCDebug(lcDownloadData).noquote()
                << "Read buffer:"
                << QByteArray::fromRawData(reinterpret_cast<const char *>(buffer), int(n)).toHex();
        if (n < kChunkSize)
            lastChunkFull = false;
        std::memset(buffer + n, 0, sizeof buffer - std::size_t(n));
        if (!write(buffer, int(n))) {
            failed();
            return;
        }
        sent += n;
        emit bytesSent(sent, size);
        emit progressUpdated(percentOf(sent, size));
        if (n < kChunkSize)
            break;
    }
    // A stream whose length is a multiple of 1024 (an empty one too) is ended by a zero-length
    // write; otherwise the short last chunk ends it.
    if (lastChunkFull) {
        std::memset(buffer, 0, sizeof buffer);
        if (!write(buffer, 0)) {
            failed();
            return;
        }
    }
    file.close();
    removeSideFile();
    complete_ = true;
}
