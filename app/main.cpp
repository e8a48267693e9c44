#include "app/applog.h"
#include "app/mainwindow.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTranslator translator;
    if (QLocale::system().language() == QLocale::Chinese) {
        qCDebug(lcApp, "System language is not other, skipping translation.");
    } else if (translator.load(QStringLiteral(":/translations/language_en.qm"))) {
        qCDebug(lcApp, "Translation file loaded successfully.");
        app.installTranslator(&translator);
    } else {
        qCWarning(lcApp, "Failed to load translation file.");
    }
    // Only now, so that the form's texts come out translated.
    MainWindow window;
    window.setWindowTitle(QObject::tr("标签机设置工具"));
    window.show();
    return app.exec();
}
