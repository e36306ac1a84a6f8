// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/toolwindow.h"

#include <QGuiApplication>
#include <QScreen>

namespace toolwindow {

void centre(QWidget* w, QWidget* mainWindow) {
    w->adjustSize();
    QScreen* screen = mainWindow && mainWindow->screen() ? mainWindow->screen()
                                                         : QGuiApplication::primaryScreen();
    if (screen)
        w->move(screen->geometry().center() - w->rect().center());
}

void present(QWidget* w) {
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace toolwindow
