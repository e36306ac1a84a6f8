// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <QVector>

#include "editor/txtcode.h"
#include "shell/appcontext.h"

namespace assist {

// The two patterns of the highlighter, written in the ECMAScript dialect of a scripting
// RegExp: '.' is any character but a line break, \w is [A-Za-z0-9_], \d is [0-9].
// A tag: "<", its first character (group 1), the name, an optional blank after the name
// (group 2), the rest up to the first ">".
inline const QString kTagPattern = QStringLiteral("<(.)[^> ]*( ){0,1}[^>]*>");
// An attribute: name, blanks and "=" (group 1), blanks, then digits or a double-quoted
// value (group 2).
inline const QString kAttributePattern = QStringLiteral("(\\w+ *=) *(\\d+|\"[^\"]+\")");

// Rewrites a pattern of that dialect so that PCRE reads it the same way: '.', \w, \W, \d
// and \D become explicit character classes. Everything else is kept as written.
QString ecmaPatternForPcre(const QString& pattern);

// One colouring step of the highlighter: select [start, start + length) and give it the
// colour at `colour` of the syntax table (0 tag, 1 attribute name, 2 value, 3 comment).
struct ColourStep {
    int start = 0;
    int length = 0;
    int colour = 0;
    bool operator==(const ColourStep& o) const {
        return start == o.start && length == o.length && colour == o.colour;
    }
};

// The steps colorhtml takes over `text`, in the order it takes them, with positions
// relative to the start of `text`: each tag in the tag colour (then the comment colour when
// its first character is "!"); in a tag with a blank after its name, each attribute in the
// value colour, then its name part in the attribute-name colour.
QVector<ColourStep> colorhtmlSteps(QStringView text);

// The same steps found by running the two patterns through the regular-expression engine:
// the reference the scanner of colorhtmlSteps is checked against, and its path for text
// with unpaired surrogates (which the engine reads its own way).
QVector<ColourStep> colorhtmlStepsByPattern(QStringView text);

// The colours those steps leave, later steps over earlier ones: ordered, disjoint spans
// with neighbours of one colour merged, shifted by `base`. Characters no step touches are
// in no span.
QVector<ColorSpan> flattenSteps(const QVector<ColourStep>& steps, int textLength,
                                const SyntaxColourTable& colours, int base);

} // namespace assist
