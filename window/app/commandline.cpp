#include "window/app/commandline.h"

#include "core/base/translation.h"
#include "core/base/version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace commandline {

namespace {

const QString kVerbose = QStringLiteral("verbose");
const char *const kVerboseText = QT_TRANSLATE_NOOP("QObject", "在标准错误上输出诊断信息");

// Options the parser does not know are QApplication's; they are no error here.
void parse(QCommandLineParser &parser, int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    parser.parse(arguments);
}

} // namespace

bool verbose(int argc, char **argv)
{
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(kVerbose));
    parse(parser, argc, argv);
    return parser.isSet(kVerbose);
}

std::optional<int> answer(int &argc, char **argv)
{
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parse(parser, argc, argv);
    const bool helpAsked = parser.isSet(help) || parser.isSet(QStringLiteral("help-all"));
    if (!helpAsked && !parser.isSet(version))
        return std::nullopt;

    // A core application only: the help text takes the program's name from its arguments, and
    // its description is the window's title, translated like the window.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(LABELSETUP_VERSION));
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()), LABELSETUP_VERSION);
        return 0;
    }
    const translation::Catalogues catalogues;
    parser.setApplicationDescription(QObject::tr("标签机设置工具"));
    parser.addOption({kVerbose, QObject::tr(kVerboseText)});
    std::fputs(qPrintable(parser.helpText()), stdout);
    return 0;
}

} // namespace commandline
