// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct AppContext;

namespace snippetdialogs {
// Connects this module's menu items of the main window to their commands.
void install(const AppContext& ctx);
} // namespace snippetdialogs
