// Writes the shell completions of label-printer-cli, at build time, from the command line's own
// tables: completionfile BASH ZSH FISH
#include "cli/completion.h"

#include <QFile>
#include <cstdio>

namespace {

bool writeFile(const char *path, const QString &script)
{
    QFile file(QString::fromLocal8Bit(path));
    const QByteArray bytes = script.toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "completionfile: cannot write %s\n", path);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: completionfile BASH ZSH FISH\n");
        return 2;
    }
    const bool written = writeFile(argv[1], cli::bashCompletion()) &&
                         writeFile(argv[2], cli::zshCompletion()) &&
                         writeFile(argv[3], cli::fishCompletion());
    return written ? 0 : 1;
}
