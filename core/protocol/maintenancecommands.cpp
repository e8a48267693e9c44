#include "core/protocol/maintenancecommands.h"

#include "core/protocol/codes.h"
#include "core/protocol/frame.h"
#include "core/protocol/printerqueries.h"

#include <QCoreApplication>

namespace maintenance {

namespace {

using K = Command::Kind;

const Command kCommands[] = {
    {"pushButton_2", "self-test", K::StatusButton, POWER_SELF_TEST_PAGE, 0, false, false},
    {"pushButton_4", "restart", K::StatusButton, POWER_RESTART, 0, false, false},
    {"pushButton_5", "initialise", K::StatusButton, POWER_INITIALISE, 0, false, false,
     QT_TRANSLATE_NOOP("QObject", "即将初始化打印机 %1。此操作无法撤销。")},
    {"pushButton_7", "learn-gap", K::StatusButton, POWER_LEARN_GAP, 0, false, false},
    {"pushButton_8", "learn-black-mark", K::StatusButton, POWER_LEARN_BLACK_MARK, 0, false, false},
    {"pushButton_9", "learn-dac", K::StatusButton, POWER_LEARN_DAC, 0, false, false},
    {"pushButton_10", "learn-exit-edge", K::StatusButton, POWER_LEARN_EXIT_EDGE, 0, true, false},
    {"pushButton_22", "learn-paper-empty", K::StatusButton, POWER_LEARN_PAPER_EMPTY, 0, true, true},
    {"pushButton_3", "full-cut", K::ModeFrame, INFO_PAPER_EXIT_MODE, 0x00, false, true},
    {"pushButton_11", "half-cut", K::ModeFrame, INFO_PAPER_EXIT_MODE, 0x01, false, true},
    {"pushButton_12", "peel", K::ModeFrame, INFO_PAPER_EXIT_MODE, 0x02, false, true},
    {"pushButton_29", "tear", K::ModeFrame, INFO_PAPER_EXIT_MODE, 0x03, true, true},
    {"pushButton_21", "keys-on", K::ModeFrame, INFO_KEY_SWITCH, 0x00, true, true},
    {"pushButton_20", "keys-off", K::ModeFrame, INFO_KEY_SWITCH, 0x01, true, true},
    {"pushButton_19", "buzzer-on", K::ModeFrame, INFO_BUZZER, 0x00, true, true},
    {"pushButton_16", "buzzer-off", K::ModeFrame, INFO_BUZZER, 0x01, true, true},
};

} // namespace

const Command *commands(int *count)
{
    *count = int(std::size(kCommands));
    return kCommands;
}

const Command *commandForButton(const QString &button)
{
    for (const Command &c : kCommands) {
        if (button == QLatin1String(c.button))
            return &c;
    }
    return nullptr;
}

const Command *commandNamed(const QString &name)
{
    for (const Command &c : kCommands) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

QByteArray frameOf(const Command &command)
{
    // One value byte at most: these frames always build.
    if (command.kind == Command::StatusButton)
        return *frame::build(frame::FrameClass::Status, command.code);
    return *frame::build(frame::FrameClass::Set, command.code, QByteArray(1, char(command.value)));
}

QString warningFor(const Command &command, const QString &printer)
{
    if (!command.warning)
        return QString();
    return QCoreApplication::translate("QObject", command.warning).arg(printer);
}

int send(PrinterHandle *handle, const Command &command)
{
    return command.ownFrame ? SendFrame(handle, frameOf(command))
                            : SetPrinterStatusButton(handle, POWER_InFo(command.code));
}

} // namespace maintenance
