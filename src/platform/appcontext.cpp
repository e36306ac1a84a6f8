// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/appcontext.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

QAction* AppContext::action(const char* name) const {
    auto* a = frmMain->findChild<QAction*>(QString::fromLatin1(name));
    Q_ASSERT_X(a, "AppContext::action", name);
    return a;
}

QMenu* AppContext::menu(const char* name) const {
    auto* m = frmMain->findChild<QMenu*>(QString::fromLatin1(name));
    Q_ASSERT_X(m, "AppContext::menu", name);
    return m;
}
