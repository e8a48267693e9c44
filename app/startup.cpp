#include "app/startup.h"

#include "app/applog.h"

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QTranslator>

namespace startup {

void installTranslation(QCoreApplication &app, QTranslator &translator)
{
    if (QLocale::system().language() == QLocale::Chinese) {
        qCDebug(lcApp, "System language is not other, skipping translation.");
    } else if (translator.load(QStringLiteral(":/translations/language_en.qm"))) {
        qCDebug(lcApp, "Translation file loaded successfully.");
        app.installTranslator(&translator);
    } else {
        qCWarning(lcApp, "Failed to load translation file.");
    }
}

void useFormFont()
{
    QFont font = QApplication::font();
    font.setPointSize(kFormPointSize);
    QApplication::setFont(font);
}

} // namespace startup
