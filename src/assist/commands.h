// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct AppContext;
struct MenuActions;

namespace assist {
// Connects the tag menus, File > Syntax, File > Count and the popup menu to their commands
// and gives the editor its typing colours, Tab and Ctrl+V keys and the popup menu.
void connectCommands(const AppContext& ctx, const MenuActions& menus);
} // namespace assist
