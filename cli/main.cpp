#include "cli/cli.h"
#include "core/base/filenames.h"
#include "core/base/logging.h"
#include "core/base/translation.h"
#include "core/base/version.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(LABELSETUP_VERSION));
    // A script reads results, not the exchange: diagnostic lines only with --verbose, which the
    // command's own parser finds.
    logging::configure(false);
    const translation::Catalogues catalogues;
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    // The arguments as bytes: a file name need not be UTF-8, and no byte of it may be lost.
    return cli::run(filenames::arguments(argc, argv), out, err, {&in, isatty(STDIN_FILENO) == 1});
}
