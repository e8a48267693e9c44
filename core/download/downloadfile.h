#pragma once

#include <QString>

// Getting a chosen firmware or font file ready for the worker: decrypted into its side file.
// The window and the command line both prepare a download this way and report the same texts.
namespace download {

struct Prepared {
    QString sideFile; // where the plain bytes are, for the worker
    qint64 bytes = 0; // how many the worker is to send
    QString error;    // empty when the side file is ready; otherwise why not, for the user
    bool ok() const { return error.isEmpty(); }
};

// Decrypts `chosen` into its side file (one of the printer's own when `forPrinter`, its USB path,
// is given: printers side by side each stream a file of their own). On failure nothing is left
// behind that this call made: an incomplete side file is removed, and an existing file of that name
// is never touched. `displayPath` turns a path into the form the user is shown.
Prepared prepareFile(const QString &chosen, QString (*displayPath)(const QString &) = nullptr,
                     const QString &forPrinter = QString());

// What a prepared download is about to do, said before anything is streamed: the printer, the
// file and the byte count, and that the printer must stay plugged in.
QString announcement(const QString &printer, const QString &file, qint64 bytes);
// Said with the announcement when a manifest names the version the file installs.
QString installsVersion(const QString &version);

} // namespace download
