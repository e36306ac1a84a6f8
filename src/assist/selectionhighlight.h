// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class TxtCode;
class Cmdg;

namespace assist {

// The start and end markers that bracket the selection while it is being highlighted.
inline constexpr char16_t kHighlightStart = 157;
inline constexpr char16_t kHighlightEnd = 129;

// The colour-table entry of a colour (blue-green-red): "\redR\greenG\blueB".
QString colorTableEntry(int color);

// Returns the colour-table entry number of `color` in the RTF `rtf`, adding the entry
// (and the table, right after the font table, when there is none) when it is missing.
// The first equal entry wins.
int ColorTableIndex(QString& rtf, int color);

// Rewrites the RTF of a document whose selection is bracketed by the markers (written
// as \'9d and \'81): the start marker becomes "\up1\highlightN ", the end marker
// "\highlight0\up0 ", N being the colour's table entry.
QString highlightMarkedRtf(QString rtf, int color);

// Gives the editor's selection the background `color` (and raises it by a half-point);
// the caret returns to where the selection began. The text never changes.
void HighlightSelection(TxtCode* editor, int color);

// The popup's "Highlight Text": asks for a colour with `cmdg`, highlights with it;
// a cancelled chooser changes nothing.
void PopHighLight_Click(TxtCode* editor, Cmdg* cmdg);
// The popup's "No Highlighting": a white background.
void PopNoHighLight_Click(TxtCode* editor);

} // namespace assist
