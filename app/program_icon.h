#pragma once
#include <QIcon>

namespace kvel {

// The picture of the desktop entry (packaging/kvelview.svg), carried in the program so that
// every window shows it whatever icon theme is installed.
QIcon programIcon();
// Gives it to the application, and so to every window.
void setProgramIcon();

}  // namespace kvel
