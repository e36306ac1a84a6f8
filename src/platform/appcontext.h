// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <array>

class QAction;
class QMenu;
class TxtCode;
class Cmdg;

// The four colours of the syntax table, in blue-green-red order:
// 0 tag, 1 attribute name, 2 attribute value, 3 comment.
using SyntaxColourTable = std::array<int, 4>;

// What the feature modules need of the main window: the window itself (to disable and
// enable it around their own windows), its editor, its common dialog, the colour table,
// and its menu items by name.
struct AppContext {
    QMainWindow* frmMain = nullptr;
    TxtCode* txtCode = nullptr;
    Cmdg* cmdg = nullptr;
    const SyntaxColourTable* syntaxColours = nullptr;

    // The menu item or menu of the main window with this objectName (never null for a
    // name of the menu tree; asserts otherwise).
    QAction* action(const char* name) const;
    QMenu* menu(const char* name) const;
};
