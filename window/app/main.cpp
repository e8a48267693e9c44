#include "window/app/commandline.h"
#include "window/app/mainwindow.h"
#include "window/app/startup.h"
#include "core/base/logging.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    logging::configure(commandline::verbose(argc, argv));
    // --help and --version are answered on the terminal; they need no display.
    if (const std::optional<int> status = commandline::answer(argc, argv))
        return *status;
    QApplication app(argc, argv);
    const auto catalogues = startup::prepareApplication();
    // Only now, so that the form's texts come out translated.
    MainWindow window;
    startup::showWindow(window);
    return app.exec();
}
