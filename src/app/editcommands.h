// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;
struct AppContext;
struct MenuActions;

namespace editcommands {
// Connects the Edit menu (Undo, Cut, Copy, Paste, Delete, Select All), Print, Print Setup
// and FullScreen of the main window to their commands.
void connectCommands(const AppContext& ctx, const MenuActions& menus);

// The commands themselves, each working on the main window's editor.
void mnuDelete_Click(const AppContext& ctx);
void mnuSelect_Click(const AppContext& ctx);
void mnuPrint_Click(const AppContext& ctx);
void mnuPrintsetup_Click(const AppContext& ctx);
void mnuFullScreen_Click(const AppContext& ctx);
} // namespace editcommands
