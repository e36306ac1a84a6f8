// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// The look shared by the find and go-to windows: a fixed-size tool window with a narrow
// title bar and a close control, no minimise or maximise, no parent (a window owned by the
// main window would be disabled together with it).
namespace toolwindow {

inline Qt::WindowFlags flags() {
    return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

// Centres `w` on the screen that holds `mainWindow`.
void centre(QWidget* w, QWidget* mainWindow);

// Shows `w` and brings it to the front.
void present(QWidget* w);

} // namespace toolwindow
