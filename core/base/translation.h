#pragma once

#include <QLocale>
#include <QTranslator>

// The user's language, for the window and the command line alike.
namespace translation {

// The catalogues of a language, installed in the application for as long as the object lives
// (construct it after the application object): ours, the embedded English catalogue, unless the
// language is Chinese; and Qt's own catalogue for the language (Debian's qttranslations5-l10n),
// which translates what Qt itself shows: the standard buttons of message boxes, the file dialog
// and the command-line parser's messages. Without Qt's catalogue those stay English.
class Catalogues
{
public:
    explicit Catalogues(const QLocale &locale = QLocale::system());
    ~Catalogues();
    Catalogues(const Catalogues &) = delete;
    Catalogues &operator=(const Catalogues &) = delete;

    bool oursInstalled() const { return ours_; }
    bool qtInstalled() const { return qt_; }

private:
    QTranslator ourCatalogue_;
    QTranslator qtCatalogue_;
    bool ours_ = false;
    bool qt_ = false;
};

} // namespace translation
