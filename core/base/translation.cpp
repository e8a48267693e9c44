#include "core/base/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcTranslation, "labelsetup.translation")

namespace translation {

Catalogues::Catalogues(const QLocale &locale)
{
    if (locale.language() == QLocale::Chinese) {
        qCDebug(lcTranslation, "System language is not other, skipping translation.");
    } else if (ourCatalogue_.load(QStringLiteral(":/translations/language_en.qm"))) {
        qCDebug(lcTranslation, "Translation file loaded successfully.");
        ours_ = QCoreApplication::installTranslator(&ourCatalogue_);
    } else {
        qCWarning(lcTranslation, "Failed to load translation file.");
    }

    const QString qtDirectory = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (qtCatalogue_.load(locale, QStringLiteral("qt"), QStringLiteral("_"), qtDirectory)) {
        qCDebug(lcTranslation).noquote() << "Qt's catalogue loaded:" << qtCatalogue_.filePath();
        qt_ = QCoreApplication::installTranslator(&qtCatalogue_);
    } else {
        qCDebug(lcTranslation).noquote()
            << "No Qt catalogue for" << locale.name() << "in" << qtDirectory;
    }
}

Catalogues::~Catalogues()
{
    if (qt_)
        QCoreApplication::removeTranslator(&qtCatalogue_);
    if (ours_)
        QCoreApplication::removeTranslator(&ourCatalogue_);
}

} // namespace translation
