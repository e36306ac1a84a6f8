// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct AppContext;

namespace snippetdialogs {
// Openers of the title, meta, refresh, comment, stylesheet, favicon, link and image dialogs.
void installHeadAndLinkDialogs(const AppContext& ctx);
// Openers of the table, list, colours, marquee, iframe and time/date dialogs.
void installGeneratorDialogs(const AppContext& ctx);
} // namespace snippetdialogs
