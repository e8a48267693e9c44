#include "app/mainwindow.h"
#include "app/startup.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTranslator translator;
    startup::installTranslation(app, translator);
    startup::useFormFont();
    // Only now, so that the form's texts come out translated.
    MainWindow window;
    window.setWindowTitle(QObject::tr("标签机设置工具"));
    window.show();
    return app.exec();
}
