// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct AppContext;

namespace assist {

// Colours the tags inside the editor's selection with the syntax table, then leaves the
// last coloured range selected. With nothing selected it says "No text selected".
void colorhtml(const AppContext& ctx);
// File > Syntax > Highlight Syntax: colours the whole document under the hourglass and
// leaves the caret after the first character.
void mnuHighlight_Click(const AppContext& ctx);
// File > Syntax > UnHighlight Syntax: reloads the plain text, dropping every colour.
void mnuUnHighlight_Click(const AppContext& ctx);

} // namespace assist
