// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class TxtCode;

// The value of the number a text starts with, as a numeric-prefix reader takes it:
// leading blanks are skipped and the longest leading part that forms a decimal number
// (sign, digits, fraction, exponent) is read. "12abc" gives 12, "2.5" gives 2.5,
// "-3" gives -3; an empty or non-numeric text gives 0.
double numericPrefix(const QString& text);

// The 0-based line for the line number `n` a user asked for (lines counted from 1), or -1
// when the document has no such line: a fraction, zero, a negative number, or a number
// beyond its last line.
int targetLine(double n, int lineCount);

// Moves the caret of `editor` to the start of line `n` (counted from 1), nothing
// selected. Returns false, leaving the caret where it was, when there is no such line.
bool goToLine(TxtCode* editor, double n);
