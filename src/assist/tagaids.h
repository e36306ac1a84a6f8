// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct AppContext;
struct MenuActions;

namespace assist {

// The tag aids of the editor: the matched pair (always on), and the Options menu's Close
// Tags Automatically, Rename Paired Tag and Complete While Typing, each off until the
// user switches it on and remembered from then on.
void connectTagAids(const AppContext& ctx, const MenuActions& menus);

} // namespace assist
