// Writes the bash completion of label-printer-cli, at build time, from the command line's own
// tables: completionfile OUTPUT
#include "cli/completion.h"

#include <QFile>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: completionfile OUTPUT\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    const QByteArray script = cli::bashCompletion().toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(script) != script.size()) {
        std::fprintf(stderr, "completionfile: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
