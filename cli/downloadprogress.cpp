#include "cli/downloadprogress.h"

#include <QObject>

namespace cli {

DownloadProgress::DownloadProgress(QTextStream &out, bool terminal) : out_(out), terminal_(terminal)
{
    clock_.start();
}

void DownloadProgress::update(qint64 sent, qint64 size)
{
    if (size <= 0)
        return;
    const int percent = int(sent * 100 / size);
    if (!terminal_) {
        if (percent / 10 <= lastShown_)
            return;
        lastShown_ = percent / 10;
        out_ << percent << "%\n";
        out_.flush();
        return;
    }
    if (percent == lastShown_ && sent < size)
        return;
    lastShown_ = percent;
    const qint64 ms = std::max<qint64>(1, clock_.elapsed());
    const qint64 kibPerSecond = sent * 1000 / ms / 1024;
    // Padded at the end so that a shorter line wipes out the longer one before it.
    out_ << '\r'
         << QObject::tr("%1% %2 / %3 字节，%4 KiB/s")
                .arg(percent, 3)
                .arg(sent)
                .arg(size)
                .arg(kibPerSecond)
         << "   ";
    lineOpen_ = true;
    out_.flush();
}

void DownloadProgress::finish()
{
    if (lineOpen_)
        out_ << '\n';
    lineOpen_ = false;
    out_.flush();
}

} // namespace cli
