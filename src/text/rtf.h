// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "text/charformat.h"

// The editor's rich-text (RTF) reading and writing.
namespace rtf {

// Writes the document as RTF: a font table ending in ";}}", once any colour is used a
// colour table "{\colortbl ;" with one "\redR\greenG\blueB;" entry per colour, text
// colours as \cfN, highlights as \highlightN, raise as \upN, characters of code page 1252
// from 128 to 255 as \'hh (lowercase hex), others above 127 as \uN?, and \par for each
// CR LF (a lone CR or LF is written so that it reads back as itself).
// `defaultFont` and `defaultSize` (points) describe characters whose format names none.
QString write(const RichDocument& doc, const QString& defaultFont, double defaultSize);

// How the selection highlighter wants its marked document written.
struct WriteOptions {
    // Text positions of the two highlight markers (characters 157 and 129), or -1. When
    // given, the output holds "\'9d" and "\'81" at these two characters only: any other
    // 157 or 129 is written as \uN?, and a backslash before an apostrophe as \'5c.
    int markerStart = -1;
    int markerEnd = -1;
};
QString write(const RichDocument& doc, const QString& defaultFont, double defaultSize,
              const WriteOptions& options);

// Reads RTF (each character of `rtf` one byte of the source; characters above 255 are
// taken as text) into text and formats. Never fails: malformed input yields whatever
// text could be read. Time and memory grow linearly with the input; groups nested deeper
// than kMaxDepth are dropped.
RichDocument read(const QString& rtf);

constexpr int kMaxDepth = 500;

} // namespace rtf
