// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

#include "shell/menuactions.h"

namespace assist {

// One menu command that writes a fixed piece of markup.
struct TagCommand {
    enum class Shape {
        Single,     // the open text alone
        Pair,       // open text, an empty line, close text
        LoneCrPair, // open text, a lone CR, CR LF, close text (<head>)
        ScriptBlock // open text, then lines "<!--", "", "-->", then the close text
    };
    const char* name;            // the menu item's objectName
    QAction* MenuActions::*item; // the menu item itself
    Shape shape;
    const char* open;
    const char* close; // empty for a single tag
};

// The 47 fixed-markup commands of the tag menus, in menu order.
const std::vector<TagCommand>& fixedTagCommands();

// The complete fragment a command writes.
QString tagFragment(const TagCommand& command);
// The fragment of the command with this item name, or a null QString when there is none.
QString tagFragment(const char* itemName);

} // namespace assist
