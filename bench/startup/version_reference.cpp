// The reference for the command line's start-up: the least a QtCore program does to answer
// --version with the same parser.
#include <QCommandLineParser>
#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral("0.0.0"));
    QCommandLineParser parser;
    parser.addVersionOption();
    parser.process(app); // prints the version and exits
    return 0;
}
