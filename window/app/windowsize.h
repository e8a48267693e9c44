#pragma once

namespace Ui {
class MainWindow;
}

// The window's size limits. The form's layouts keep every control at its own minimum size, but
// the scroll areas of the tabs would let their pages be squeezed sideways: they are given the
// width of their widest page. The window then cannot be made so small that anything is cut off;
// pages taller than the window scroll up and down, never sideways.
namespace windowsize {

// Call once, after the form is built and translated.
void fitContents(Ui::MainWindow &form);

} // namespace windowsize
