#pragma once

#include <QString>

#include "platform/charformat.h"

// The editor's rich-text (RTF) reading and writing.
namespace rtf {

// Writes the document as RTF: a font table ending in ";}}", once any colour is used a
// colour table "{\colortbl ;" with one "\redR\greenG\blueB;" entry per colour, text
// colours as \cfN, highlights as \highlightN, raise as \upN, characters 128 to 255 as
// \'hh (lowercase hex), others above 127 as \uN?, and \par for each line break.
// `defaultFont` and `defaultSize` (points) describe characters whose format names none.
QString write(const RichDocument& doc, const QString& defaultFont, double defaultSize);

// Reads RTF (each character of `rtf` one byte of the source) into text and formats.
// Never fails: malformed input yields whatever text could be read.
RichDocument read(const QString& rtf);

} // namespace rtf
