#pragma once

#include "core/usb/printerhandle.h"

#include <QString>
#include <QThread>
#include <atomic>
#include <memory>

// Streams a decrypted firmware or font file to the printer, off the GUI thread: 1024-byte bulk
// writes, one command exchange each, ended by a zero-length write when the last chunk was whole.
// It touches no widget and reports only through its three signals. From the hand-over on it owns
// the printer record and the side file: it closes the one and removes the other however the
// stream ends.
class WorkerThread : public QThread
{
    Q_OBJECT

public:
    static constexpr qint64 kChunkSize = 1024;

    explicit WorkerThread(QObject *parent = nullptr);
    // Waits for the thread to end, so that a deferred deletion never overtakes it. A worker still
    // streaming is asked to stop after its current chunk (and says so in its log).
    ~WorkerThread() override;

    void handOver(std::unique_ptr<PrinterHandle> printer, const QString &sideFile);
    // True when every chunk and the end of the stream were written; valid once finished() came.
    bool sentEverything() const { return complete_; }

    void sendFileData();

signals:
    void progressUpdated(int percentage);
    // After every chunk: the bytes sent so far of `size` (for a progress that shows bytes).
    void bytesSent(qint64 sent, qint64 size);
    void errorOccurred(const QString &errorMessage);
    void finished();

protected:
    void run() override;

private:
    bool write(unsigned char *buffer, int length);
    void releasePrinter();
    void removeSideFile();

    std::unique_ptr<PrinterHandle> printerHandle;
    QString filePath;
    std::atomic<bool> complete_{false};
};
