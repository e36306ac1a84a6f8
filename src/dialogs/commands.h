// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct AppContext;
struct MenuActions;

namespace snippetdialogs {
// Connects the items that open a snippet dialog (comment, title, favicon, meta, stylesheet,
// refresh, colours, link, image, table, iframe, list, marquee) and Edit > Time / Date.
void connectCommands(const AppContext& ctx, const MenuActions& menus);
} // namespace snippetdialogs
