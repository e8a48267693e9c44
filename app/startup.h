#pragma once

// Start-up steps of main, shared with the start-up benchmark.
namespace startup {

// The form's own point size (ui/mainwindow.ui). Giving the application the same size before the
// window is built spares every tab page a font change when the form moves it into the window.
constexpr int kFormPointSize = 9;

void useFormFont();

} // namespace startup
