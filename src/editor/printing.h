// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QFont;
class QPrinter;

// Printing the document: the current printer and the plain-text print job.
namespace printing {

// The printer Print prints on: the system's default printer until Print Setup chooses
// another (the printer dialog sets this printer up in place).
QPrinter& currentPrinter();

// Points the current printer at a PDF file instead of a print queue, so that tests can
// read back what was printed. An empty path gives the system's default printer back.
void printToPdfFile(const QString& pdfPath);

// Why a print job did not reach the printer.
enum class Outcome { Printed, NoPrinter, Failed };

// Prints `text` in black in `font` (its family and point size) on `printer`. Each line
// break (CR LF, CR or LF) starts a new line; a line wider than the page wraps at word
// boundaries, or anywhere in a word wider than the page; a new page starts when the next
// line no longer fits, so the whole text reaches paper. No margins of its own, header or
// footer. On failure *error says why.
Outcome printText(QPrinter& printer, const QString& text, const QFont& font, QString* error);

} // namespace printing
