#include "window/app/commandline.h"
#include "window/app/mainwindow.h"
#include "window/app/startup.h"
#include "core/base/logging.h"
#include "core/history/record.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    logging::configure(commandline::verbose(argc, argv));
    // --help and --version are answered on the terminal; they need no display.
    if (const std::optional<int> status = commandline::answer(argc, argv))
        return *status;
    QApplication app(argc, argv);
    history::configure({true, false});
    const auto catalogues = startup::prepareApplication();
    // Only now, so that the form's texts come out translated.
    MainWindow window;
    startup::showWindow(window);
    // A journal that cannot be written stops nothing; the status bar says so.
    history::onProblem([&window](const QString &problem) { window.showHistoryProblem(problem); });
    const int status = app.exec();
    history::onProblem(nullptr);
    return status;
}
