// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tag aids that act on every key switched on or off through their menu items, as a user
// does, for the rows of the typing benchmarks with the aids on: closing and renaming tags
// (the matched pair is always on). Completion while typing opens a list, which is not a
// keystroke's cost, and stays off. The settings they write go to a folder of the
// benchmark's own, never to the user's.

#include <QAction>
#include <QSettings>
#include <QTemporaryDir>

#include "shell/menuactions.h"

namespace bench {

inline void setTagAids(const MenuActions& menus, bool on) {
    static QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    for (QAction* item : {menus.mnuAutoClose, menus.mnuRenamePair})
        if (item->isChecked() != on)
            item->trigger();
}

} // namespace bench
