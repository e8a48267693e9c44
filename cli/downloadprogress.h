#pragma once

#include <QElapsedTimer>
#include <QTextStream>

namespace cli {

// The progress of a download on standard output. On a terminal one line that is rewritten in
// place: percent, bytes sent of all, and the rate. Otherwise (a pipe, a file, a log) a line at
// each tenth of the way reached, whole percentages: at most 11 lines, whatever the size.
class DownloadProgress
{
public:
    DownloadProgress(QTextStream &out, bool terminal);
    void update(qint64 sent, qint64 size);
    // Ends the terminal's line, where one was begun.
    void finish();

private:
    QTextStream &out_;
    bool terminal_;
    int lastShown_ = -1; // the last percent (terminal) or tenth (otherwise) shown
    bool lineOpen_ = false;
    QElapsedTimer clock_;
};

} // namespace cli
