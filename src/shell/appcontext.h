// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <array>

class TxtCode;
class Cmdg;

// The four colours of the syntax table, in blue-green-red order:
// 0 tag, 1 attribute name, 2 attribute value, 3 comment.
using SyntaxColourTable = std::array<int, 4>;

// What the feature modules need of the main window: the window itself (to disable and
// enable it around their own windows), its editor, its common dialog and the colour
// table. Its menu items come to each module's connectCommands() as MenuActions.
struct AppContext {
    QMainWindow* frmMain = nullptr;
    TxtCode* txtCode = nullptr;
    Cmdg* cmdg = nullptr;
    const SyntaxColourTable* syntaxColours = nullptr;
};
