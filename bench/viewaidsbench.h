// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The typing benchmarks with the View menu's aids switched on or off through the window,
// and the wait for the editor's background work (wrapping the lines out of view) to end.

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "app/frmmain.h"
#include "app/startup.h"
#include "editor/txtcode.h"
#include "shell/menuactions.h"

namespace bench {

// Settings of the run's own: the aids start as a first start has them (line numbers on,
// wrap off), whatever the user of this machine chose.
class OwnSettings {
public:
    OwnSettings() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    }

private:
    QTemporaryDir dir_;
};

// Line numbers and word wrap: both on, or both off, chosen from the View menu.
inline void setViewAids(frmMain& window, bool on) {
    const MenuActions& menus = window.menuActions();
    for (QAction* item : {menus.mnuLineNumbers, menus.mnuWordWrap})
        if (item->isChecked() != on)
            item->trigger();
}

// Line numbers alone, from the View menu: with the tag aids, every aid but word wrap.
inline void setLineNumbers(frmMain& window, bool on) {
    QAction* item = window.menuActions().mnuLineNumbers;
    if (item->isChecked() != on)
        item->trigger();
}

// Processes events until the window has had nothing to do for a while (no wrapping
// left to do in the background), at most `capMs`; returns how long that took.
inline double waitUntilIdle(double capMs) {
    QElapsedTimer total;
    total.start();
    int quiet = 0;
    while (quiet < 200 && total.nsecsElapsed() / 1e6 < capMs) {
        QElapsedTimer t;
        t.start();
        QCoreApplication::processEvents();
        quiet = t.nsecsElapsed() < 500000 ? quiet + 1 : 0;
    }
    return total.nsecsElapsed() / 1e6;
}

// Writes `bytes` to the file `name` in `dir`: its path, or nothing when it could not be
// written.
inline QString writeFileIn(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return QString();
    return path;
}

// The window every typing benchmark types in: its size, shown, the View menu's aids off.
inline void showWindow(frmMain& window) {
    window.resize(1000, 700);
    window.show();
    setViewAids(window, false);
}

// A page written to a file of its own and opened, as a file named on the command line
// is, in the window every typing benchmark types in (showWindow's), the editor focused.
// `ed` is null when the file could not be written.
class OpenedPage {
public:
    OpenedPage(const char* name, const QByteArray& bytes) {
        const QString path = writeFileIn(dir_, name, bytes);
        if (path.isEmpty())
            return;
        showWindow(window);
        openStartupFile(window, {QStringLiteral("verrindel"), path});
        ed = window.txtCode();
        ed->SetFocus();
    }

private:
    QTemporaryDir dir_; // outlives the window that holds its file

public:
    frmMain window;
    TxtCode* ed = nullptr;
};

} // namespace bench
