#include "base/translation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

Q_LOGGING_CATEGORY(lcTranslation, "labelsetup.translation")

namespace translation {

void install(QCoreApplication &app, QTranslator &translator)
{
    if (QLocale::system().language() == QLocale::Chinese) {
        qCDebug(lcTranslation, "System language is not other, skipping translation.");
    } else if (translator.load(QStringLiteral(":/translations/language_en.qm"))) {
        qCDebug(lcTranslation, "Translation file loaded successfully.");
        app.installTranslator(&translator);
    } else {
        qCWarning(lcTranslation, "Failed to load translation file.");
    }
}

} // namespace translation
