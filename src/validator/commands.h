// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct AppContext;
struct MenuActions;

namespace validator {
// Connects File > Validate to the validator window.
void connectCommands(const AppContext& ctx, const MenuActions& menus);
} // namespace validator
