// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct AppContext;
struct MenuActions;

namespace search {
// Connects Edit > Find..., Replace... and Goto... to their windows.
void connectCommands(const AppContext& ctx, const MenuActions& menus);
} // namespace search
