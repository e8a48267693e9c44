#pragma once

#include "core/base/translation.h"

#include <memory>

class MainWindow;

// Start-up steps of main, shared with the start-up benchmark.
namespace startup {

// The form's own point size (ui/mainwindow.ui). Giving the application the same size before the
// window is built spares every tab page a font change when the form moves it into the window.
constexpr int kFormPointSize = 9;

void useFormFont();

// What main does before the window is built: the desktop entry's name (the shell finds the icon
// by it), our catalogue and Qt's in the user's language, the form's font. Keep the catalogues for
// as long as the window lives.
std::unique_ptr<translation::Catalogues> prepareApplication();
// Titles the window and shows it.
void showWindow(MainWindow &window);

} // namespace startup
