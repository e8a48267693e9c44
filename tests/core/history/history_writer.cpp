// Records COUNT actions of the printer SERIAL into the journal of $XDG_STATE_HOME, as a command
// line does, once the file GO exists. Each action carries three changed keys that name the action,
// so that a torn or mixed-up action shows. Exit status: the number of actions not recorded.
//
//     history_writer FRONT-END SERIAL COUNT GO
#include "core/history/record.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 255;
    const QString frontEnd = args[1], serial = args[2];
    const int count = args[3].toInt();
    while (!QFileInfo::exists(args[4]))
        QThread::usleep(200);
    history::configure({true, false});
    int lost = 0;
    for (int n = 0; n < count; ++n) {
        history::Action action;
        action.frontEnd = frontEnd;
        action.serial = serial;
        action.model = QStringLiteral("Orbeck VS-608K");
        action.usbPath = QStringLiteral("1-3");
        action.detail = QString::number(n);
        action.outcome = QStringLiteral("ok");
        for (int k = 0; k < 3; ++k)
            action.keys << history::ChangedKey{QStringLiteral("print"),
                                               QStringLiteral("key%1").arg(k),
                                               QStringLiteral("%1-%2-before").arg(n).arg(k),
                                               QStringLiteral("%1-%2-after").arg(n).arg(k),
                                               std::nullopt,
                                               std::nullopt,
                                               true};
        if (!history::record(action))
            ++lost;
    }
    return std::min(lost, 254);
}
