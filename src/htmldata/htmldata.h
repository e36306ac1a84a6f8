// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

#include "htmldata/generated.h"

// The names of HTML: elements (with the void, obsolete and non-standard ones marked), the
// attributes of each element and the global ones, event handlers, ARIA attributes, the
// values of enumerated attributes, SVG and MathML element names and the named character
// references. Names are looked up as the HTML parser leaves them: lower case (SVG and
// MathML names case-insensitively).
namespace htmldata {

// The element named `lowerName`, or nothing when the tables do not know it.
std::optional<Tag> tagFromName(QStringView lowerName);
// The lower-case name of an element.
QLatin1StringView tagName(Tag tag);
// Elements that have no content and no end tag (br, img, input...).
bool isVoid(Tag tag);
// Elements the standard still defines but calls obsolete (center, font, marquee...).
bool isObsolete(Tag tag);
// Names some browsers or old drafts knew that the standard does not define.
bool isNonStandard(Tag tag);

// Every element name, in order.
QStringList elementNames();
// The attributes of an element besides the global ones, in order.
QStringList attributesOf(Tag tag);
// The attributes every element has (class, id, lang, title...), in order.
QStringList globalAttributes();
// Event handler attributes (onclick, onload...), in order.
QStringList eventHandlerAttributes();

bool isGlobalAttribute(QStringView lowerName);
// An attribute of `tag` itself (not a global one).
bool isOwnAttribute(Tag tag, QStringView lowerName);
bool isEventHandlerAttribute(QStringView lowerName);
bool isAriaAttribute(QStringView lowerName);

// The values an enumerated attribute takes on an element (an empty list when the attribute
// is not enumerated there). `*caseSensitive` (when given) tells whether case matters.
QStringList enumeratedValues(QStringView element, QStringView attribute,
                             bool* caseSensitive = nullptr);

bool isSvgElement(QStringView name);    // any case
bool isMathMlElement(QStringView name); // any case

// A named character reference: its name (no '&', no ';') and the characters it stands for.
struct CharacterReference {
    QLatin1StringView name;
    QStringView characters;
    bool legacy; // also recognised without its semicolon
};
// The reference named exactly `name`, or nothing.
std::optional<CharacterReference> characterReference(QStringView name);
// The length of the longest start of `run` that is a legacy reference name (recognised
// without a semicolon), or 0.
qsizetype longestLegacyReference(QStringView run);
// Every named character reference, in the order of their names.
int characterReferenceCount();
CharacterReference characterReferenceAt(int index);

} // namespace htmldata
