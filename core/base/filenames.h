#pragma once

#include <QByteArray>
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

} // namespace filenames
