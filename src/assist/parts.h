// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct AppContext;

namespace assist {
// The tag-insertion menus (Tags, Semantics, Headings, Paragraphs, Formatting, Quotations).
void installTagCommands(const AppContext& ctx);
// File > Syntax: Highlight Syntax and UnHighlight Syntax.
void installHighlighter(const AppContext& ctx);
// The editor's typing colours, Tab, Ctrl+V and the popup menu.
void installEditorInput(const AppContext& ctx);
// File > Count: Line Count and Word Count.
void installCounts(const AppContext& ctx);
// The popup's Highlight Text and No Highlighting.
void installSelectionHighlighting(const AppContext& ctx);
} // namespace assist
