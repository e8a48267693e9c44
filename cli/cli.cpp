#include "cli/cli.h"

#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "cli/jsonoutput.h"
#include "cli/pagehelp.h"
#include "core/base/logging.h"
#include "core/base/statedirectory.h"
#include "core/download/downloadguard.h"
#include "core/download/downloadoutcome.h"
#include "core/download/settingssnapshot.h"
#include "core/history/record.h"
#include "core/protocol/maintenancecommands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QObject>
#include <QTextStream>
#include <algorithm>

namespace cli {

namespace {

struct Command {
    const char *name;
    const char *synopsis;
    const char *description; // translated in the QObject context
    int (*run)(Context &);
    QString (*moreHelp)(); // what the command's --help adds after its options; may be null
    int maxArguments;      // after the command's name; -1: any number
};

QStringList maintenanceNames()
{
    int count = 0;
    const maintenance::Command *all = maintenance::commands(&count);
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QLatin1String(all[i].name);
    return names;
}

QString readHelp()
{
    return pagesHelp() + '\n' + QObject::tr("例如：") +
           QStringLiteral("\n  label-printer-cli --port 1 read print\n"
                          "  label-printer-cli --port 1 read wifi --json\n");
}

QString writeHelp()
{
    return pagesHelp() + '\n' + QObject::tr("例如：") +
           QStringLiteral("\n  label-printer-cli --port 1 write print speed=3 label-gap=2 "
                          "language=TSPL\n"
                          "  label-printer-cli --port 1 write wifi mode=AP ap-name=Shop-7 "
                          "ap-ip=192.168.4.1\n");
}

QString provisionHelp()
{
    return QObject::tr(
               "只处理启动后插入的打印机，已连接的打印机不会改动。每台该型号的打印机输出一行："
               "USB路径、序列号、写入的页面数和核对结果，与 restore --all 相同；"
               "另一型号的打印机输出一行（USB路径和型号）并保持不变，不计入 --count。"
               "写入中被拔出或无法使用的打印机记为失败，其他打印机照常处理。") +
           '\n' +
           QObject::tr("其他打印机正在写入时插入的打印机立即开始写入，最多 --jobs 台同时进行"
                       "（默认 8 台）。") +
           '\n' +
           QObject::tr("--count N：处理完 N 台该型号的打印机（包括失败的）后结束；"
                       "没有 --count 时一直等待，直到被中断（Ctrl+C、SIGTERM）；"
                       "正在写入的打印机写完当前页面后停止，其输出行说明停在哪一页。") +
           '\n' +
           QObject::tr("退出状态：处理过的打印机全部未改变或写入并核对成功时为 0，"
                       "否则为第一个失败的状态；被中断时若一台也没处理或未达到 --count，为 130。"
                       "最后在标准错误上输出一行汇总。") +
           '\n' + QObject::tr("例如：") +
           QStringLiteral("\n  label-printer-cli provision fleet.json --count 20\n");
}

QString outcomesAndExits()
{
    using download::Outcome;
    QStringList pairs;
    for (Outcome outcome : {Outcome::Verified, Outcome::Restored, Outcome::Skipped, Outcome::Failed,
                            Outcome::Refused, Outcome::NotRestored, Outcome::SettingsChanged,
                            Outcome::VersionMismatch, Outcome::NotBack, Outcome::Busy})
        pairs << QStringLiteral("%1 %2")
                     .arg(download::outcomeWord(outcome))
                     .arg(download::exitStatus(outcome));
    return pairs.join(QStringLiteral(", "));
}

QString downloadHelp()
{
    return QObject::tr("先检查文件（不可读、为空或大于 %1 字节的文件不会下载）和清单（型号、"
                       "SHA-256、版本），再检查打印机的状态，并把它的所有设置保存到 %2。"
                       "下载后等待打印机在同一USB路径上重新应答，读取版本并与保存的设置比较。")
               .arg(download::kMaxFileBytes)
               .arg(stateDirectory()) +
           '\n' + QObject::tr("结果和退出状态：%1").arg(outcomesAndExits()) + '\n' +
           QObject::tr("例如：") +
           QStringLiteral("\n  label-printer-cli --port 3 download firmware fw.hex "
                          "--restore-settings\n");
}

QString maintainHelp()
{
    return QObject::tr("操作：") + '\n' + maintenanceNames().join(QStringLiteral(", ")) + '\n';
}

const Command kCommands[] = {
    {"list", "[--json] [--watch]",
     QT_TRANSLATE_NOOP("QObject",
                       "列出连接的打印机：端口、品牌、型号、厂商和产品ID、USB路径和状态"),
     list, nullptr, 0},
    {"info", "", QT_TRANSLATE_NOOP("QObject", "读取打印机的资讯（型号、版本等）"), info, nullptr,
     0},
    {"status", "", QT_TRANSLATE_NOOP("QObject", "读取并解码打印机状态"), status, nullptr, 0},
    {"read", "PAGE", QT_TRANSLATE_NOOP("QObject", "读取一个设置页面，每行一个 key=value"), read,
     readHelp, 1},
    {"write", "PAGE key=value...",
     QT_TRANSLATE_NOOP("QObject", "读取页面，修改给出的设置项，再写入"), write, writeHelp, -1},
    {"backup", "FILE", QT_TRANSLATE_NOOP("QObject", "把本机型的所有设置页面保存到一个JSON文件"),
     backup, nullptr, 1},
    {"restore", "FILE", QT_TRANSLATE_NOOP("QObject", "先检查整个文件，再把其中的页面写入打印机"),
     restore, nullptr, 1},
    {"provision", "FILE [--count N]",
     QT_TRANSLATE_NOOP("QObject", "等待打印机插入，把配置写入每台新插入的该型号打印机并核对"),
     provision, provisionHelp, 1},
    {"diff", "FILE [FILE]",
     QT_TRANSLATE_NOOP("QObject", "比较打印机与配置文件，或两个配置文件；有差异时退出状态为 1"),
     diff, nullptr, 2},
    {"maintain", "ACTION", QT_TRANSLATE_NOOP("QObject", "执行一个维护操作"), maintain, maintainHelp,
     1},
    {"download", "firmware|font FILE",
     QT_TRANSLATE_NOOP("QObject", "解密固件或字库文件并下载到打印机"), download, downloadHelp, 2},
    {"history", "[--serial S | --port P] [--since DATE] [--json]",
     QT_TRANSLATE_NOOP("QObject", "列出历史记录中的操作（最新的在前）及其改动的设置项"),
     showHistory, nullptr, 0},
    {"undo", "N", QT_TRANSLATE_NOOP("QObject", "把操作 N 之前的值写回同一台打印机并核对"), undo,
     nullptr, 1},
};

// The options and the commands that take each: a command's --help shows only its own, and a
// command refuses the others. One line an option.
struct Option {
    const char *name;
    const char *valueName;   // empty for a switch
    const char *description; // translated in the QObject context
    const char *commands;    // the commands that take it, separated by blanks
};

const Option kOptions[] = {
    {"port", "PORT", QT_TRANSLATE_NOOP("QObject", "打印机的USB端口号或USB路径（如 4、2.4、1-2.4）"),
     "info status read write backup restore diff maintain download history undo"},
    {"serial", "SERIAL",
     QT_TRANSLATE_NOOP("QObject", "打印机的序列号：换了USB端口也能找到同一台打印机"),
     "info status read write backup restore diff maintain download history undo"},
    {"json", "", QT_TRANSLATE_NOOP("QObject", "以JSON输出"),
     "list info status read write backup restore provision diff maintain download history"},
    {"check", "",
     QT_TRANSLATE_NOOP("QObject",
                       "只读取并比较，不发送任何设置：无需改变时退出状态为 0，需要改变时为 8"),
     "write restore"},
    {"watch", "", QT_TRANSLATE_NOOP("QObject", "列出后继续报告每次插入和拔出，直到被中断"), "list"},
    {"force", "",
     QT_TRANSLATE_NOOP("QObject", "restore：也写入另一型号的配置；diff：也比较另一型号的配置；"
                                  "backup：替换已有的文件；"
                                  "download：打印机报告状态（如缺纸、开盖）时仍然下载"),
     "restore diff backup download"},
    {"show-secrets", "", QT_TRANSLATE_NOOP("QObject", "diff：显示Wi-Fi密码和蓝牙PIN码的值"),
     "diff"},
    {"yes", "",
     QT_TRANSLATE_NOOP("QObject", "不询问，直接执行无法撤销的操作（initialise、restart）"),
     "maintain"},
    {"manifest", "FILE",
     QT_TRANSLATE_NOOP("QObject", "download：文件的清单（默认为文件名加 .manifest.json）"),
     "download"},
    {"reinstall", "", QT_TRANSLATE_NOOP("QObject", "download：打印机已是清单中的版本时仍然下载"),
     "download"},
    {"wait", "SECONDS",
     QT_TRANSLATE_NOOP("QObject", "download：等待打印机重新应答的最长秒数（默认 60）"), "download"},
    {"restore-settings", "",
     QT_TRANSLATE_NOOP("QObject", "download：打印机回来后设置有变化时，按下载前的设置写回并核对"),
     "download"},
    {"no-secrets", "", QT_TRANSLATE_NOOP("QObject", "backup：不保存Wi-Fi密码和蓝牙PIN码"),
     "backup"},
    {"verbose", "", QT_TRANSLATE_NOOP("QObject", "在标准错误上输出诊断信息"),
     "list info status read write backup restore provision diff maintain download history undo"},
    {"dry-run", "", QT_TRANSLATE_NOOP("QObject", "只打印将要发送的帧"), "restore"},
    {"quiet", "", QT_TRANSLATE_NOOP("QObject", "不列出修改了的设置项"), "write"},
    {"no-verify", "", QT_TRANSLATE_NOOP("QObject", "写入后不读回核对"), "write restore"},
    {"all", "",
     QT_TRANSLATE_NOOP(
         "QObject",
         "restore：写入所有该型号的打印机；download：下载到所有连接的打印机（须为同一型号）"),
     "restore download"},
    {"jobs", "N",
     QT_TRANSLATE_NOOP("QObject",
                       "同时处理的打印机数，1 到 8（默认为所有要处理的打印机，最多 8 台）"),
     "restore provision download"},
    {"count", "N", QT_TRANSLATE_NOOP("QObject", "处理完 N 台该型号的打印机（包括失败的）后结束"),
     "provision"},
    {"since", "DATE", QT_TRANSLATE_NOOP("QObject", "只列出此日期（UTC）以后的操作"), "history"},
    {"no-history", "", QT_TRANSLATE_NOOP("QObject", "不把这次操作记入历史记录"),
     "write restore provision maintain download undo"},
    {"history-secrets", "", QT_TRANSLATE_NOOP("QObject", "在历史记录中保存密码和PIN码的值"),
     "write restore provision undo"},
};

bool takes(const Option &option, const char *command)
{
    return QString::fromLatin1(option.commands)
        .split(QLatin1Char(' '))
        .contains(QLatin1String(command));
}

QCommandLineOption qtOption(const Option &option)
{
    return QCommandLineOption(QLatin1String(option.name), QObject::tr(option.description),
                              QLatin1String(option.valueName));
}

const Command *commandNamed(const QString &name)
{
    for (const Command &command : kCommands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

// The help without a command: its options, then the commands, each with what it does.
QString overallHelp()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QObject::tr("标签机设置工具"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QObject::tr("下列命令之一"));
    int width = 0;
    for (const Command &command : kCommands)
        width = std::max(width, int(qstrlen(command.name)));
    QString text = parser.helpText() + '\n' + QObject::tr("命令：") + '\n';
    for (const Command &command : kCommands)
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromLatin1(command.name), -width)
                    .arg(QObject::tr(command.description));
    return text + '\n' + QObject::tr("“label-printer-cli 命令 --help”说明一个命令及其选项。") +
           '\n';
}

// Whether the command was given a switch (one it does not take never is).
bool given(const Context &c, const char *command, const char *name)
{
    for (const Option &option : kOptions) {
        if (qstrcmp(option.name, name) == 0 && takes(option, command))
            return c.parser.isSet(QLatin1String(name));
    }
    return false;
}

void configureHistory(Context &c, const char *command)
{
    history::configure({!given(c, command, "no-history"), given(c, command, "history-secrets")});
    history::onProblem([&c](const QString &problem) { c.err << problem << '\n' << Qt::flush; });
}

} // namespace

QList<CommandOptions> commandOptions()
{
    QList<CommandOptions> all;
    for (const Command &command : kCommands) {
        CommandOptions entry{QLatin1String(command.name), {QStringLiteral("--help")}, {}};
        for (const Option &option : kOptions) {
            if (!takes(option, command.name))
                continue;
            const QString name = QStringLiteral("--") + QLatin1String(option.name);
            entry.options << name;
            if (*option.valueName)
                entry.valueOptions << name;
        }
        all << entry;
    }
    return all;
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err, const Input &input)
{
    QStringList withProgram = arguments;
    withProgram.prepend(QStringLiteral("label-printer-cli"));

    // Every option of every command first, to find the command.
    QCommandLineParser overall;
    overall.addHelpOption();
    overall.addVersionOption();
    for (const Option &option : kOptions)
        overall.addOption(qtOption(option));
    // Before the parser knows the command, a script that asked for JSON gets its error as JSON.
    const bool jsonErrors = arguments.contains(QStringLiteral("--json"));
    const auto usageError = [&](const QString &message) {
        if (jsonErrors)
            err << errorDocument(UsageError, message);
        else
            err << message << '\n';
        return UsageError;
    };
    if (!overall.parse(withProgram))
        return usageError(overall.errorText());
    if (overall.isSet(QStringLiteral("version"))) {
        out << "label-printer-cli " << QCoreApplication::applicationVersion() << '\n';
        return Ok;
    }
    const QStringList positional = overall.positionalArguments();
    const Command *command = commandNamed(positional.value(0));
    if (!command) {
        if (overall.isSet(QStringLiteral("help"))) {
            out << overallHelp();
            return Ok;
        }
        return usageError((positional.isEmpty()
                               ? QObject::tr("缺少命令")
                               : QObject::tr("未知的命令：%1").arg(positional.first())) +
                          '\n' + overallHelp());
    }

    // Then the command's own options only.
    QCommandLineParser parser;
    parser.setApplicationDescription(QObject::tr(command->description));
    parser.addHelpOption();
    for (const Option &option : kOptions) {
        if (takes(option, command->name))
            parser.addOption(qtOption(option));
    }
    parser.addPositionalArgument(QLatin1String(command->name), QLatin1String(command->synopsis),
                                 QStringLiteral("%1 %2").arg(command->name, command->synopsis));
    if (!parser.parse(withProgram))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        if (command->moreHelp)
            out << '\n' << command->moreHelp();
        return Ok;
    }
    if (parser.isSet(QStringLiteral("verbose")))
        logging::configure(true);
    // An option given twice: which one was meant cannot be known.
    for (const Option &option : kOptions) {
        const QString name = QLatin1String(option.name);
        if (*option.valueName && takes(option, command->name) && parser.values(name).size() > 1)
            return err << QObject::tr("选项 --%1 只能给出一次").arg(name) << '\n', UsageError;
    }
    const QStringList commandArguments = parser.positionalArguments().mid(1);
    if (command->maxArguments >= 0 && commandArguments.size() > command->maxArguments)
        return err << QObject::tr("多余的参数：%1")
                          .arg(commandArguments.mid(command->maxArguments).join(QLatin1Char(' ')))
                   << '\n',
               UsageError;
    Context context{parser, commandArguments, out, err, input};
    // The history as this command asks; as it was once the command is done (a program that
    // runs commands in-process, such as a test, keeps its own).
    const history::Settings before = history::settings();
    configureHistory(context, command->name);
    const int exit = command->run(context);
    history::onProblem(nullptr); // the streams end with this run
    history::configure(before);
    return exit;
}

} // namespace cli
