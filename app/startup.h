#pragma once

class QCoreApplication;
class QTranslator;

// Start-up steps of main, shared with the start-up benchmark.
namespace startup {

// The form's own point size (ui/mainwindow.ui). Giving the application the same size before the
// window is built spares every tab page a font change when the form moves it into the window.
constexpr int kFormPointSize = 9;

// Installs the embedded English catalogue unless the system language is Chinese.
void installTranslation(QCoreApplication &app, QTranslator &translator);
void useFormFont();

} // namespace startup
