// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

#include "shell/menuactions.h"

namespace assist {

// One menu command that writes a fixed piece of markup. The table of these commands is the
// one place that names them and gives their captions: the menu tree only places them.
struct TagCommand {
    enum class Shape {
        Single,     // the open text alone
        Pair,       // open text, an empty line, close text
        LoneCrPair, // open text, a lone CR, CR LF, close text (<head>)
        ScriptBlock // open text, then lines "<!--", "", "-->", then the close text
    };
    const char* name;            // the menu item's objectName
    QAction* MenuActions::*item; // the menu item itself
    const char* caption;         // the menu item's text
    Shape shape;
    const char* open;
    const char* close; // empty for a single tag
};

// The 47 fixed-markup commands of the tag menus, in menu order.
const std::vector<TagCommand>& fixedTagCommands();

// The command of this menu item, or nullptr when the item writes no fixed markup.
const TagCommand* tagCommand(QAction* MenuActions::*item);

// The complete fragment a command writes.
QString tagFragment(const TagCommand& command);
// The fragment of the command with this item name, or a null QString when there is none.
QString tagFragment(const char* itemName);

} // namespace assist
