#pragma once

class QCoreApplication;
class QTranslator;

// The user's language, for the window and the command line alike.
namespace translation {

// Installs the embedded English catalogue unless the system language is Chinese.
void install(QCoreApplication &app, QTranslator &translator);

} // namespace translation
