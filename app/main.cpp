#include "app/commandline.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "base/logging.h"
#include "base/translation.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    logging::configure(commandline::verbose(argc, argv));
    // --help and --version are answered on the terminal; they need no display.
    if (const std::optional<int> status = commandline::answer(argc, argv))
        return *status;
    QApplication app(argc, argv);
    // The shell finds the installed desktop entry, and with it the icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("label-printer-setup"));
    const translation::Catalogues catalogues;
    startup::useFormFont();
    // Only now, so that the form's texts come out translated.
    MainWindow window;
    window.setWindowTitle(QObject::tr("标签机设置工具"));
    window.show();
    return app.exec();
}
