#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// File names and command-line arguments as the system has them: bytes. A name need not be
// UTF-8 text, and Qt's own conversion replaces what is not, so that such a file could be neither
// made nor found again. Here each byte that is no UTF-8 is kept as an unpaired surrogate
// (U+DC80 to U+DCFF) and turned back into that byte on the way out.
namespace filenames {

// A name's bytes as text, losing nothing.
QString decode(const QByteArray &bytes);
// The bytes of a name that decode() made, or of any other text (as UTF-8).
QByteArray encode(const QString &name);
// The program's arguments after the program's name, decoded as above.
QStringList arguments(int argc, char **argv);
// Whether anything at all has the name, a dangling link included.
bool exists(const QString &name);
// Opens `file` on the name's own bytes: for reading, or with QIODevice::NewOnly as a new file
// (mode 0666 less the umask, never over anything of that name, a dangling link included).
// The file keeps no name of its own; errno says why it failed.
bool open(QFile &file, const QString &name, QIODevice::OpenMode mode);
// Removes the file of that name; false when there was none or it could not be removed.
bool remove(const QString &name);
// The size of the file of that name, -1 when there is none.
qint64 size(const QString &name);

} // namespace filenames
