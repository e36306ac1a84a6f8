// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// The markup of the table, list, colours, marquee and iframe dialogs, built from their
// field values. Field texts are written verbatim; attribute values are single-quoted and
// lines end with CR LF.
namespace fragments {

// The largest table (in cells) and list (in items) the dialogs generate; a larger one
// would freeze the editor for no use.
constexpr qint64 kMaxTableCells = 100000;
constexpr qint64 kMaxListItems = 100000;

// Table layout fields, as typed.
struct TableLayout {
    QString alignment = QStringLiteral("center");
    QString border = QStringLiteral("0");
    QString padding = QStringLiteral("1");
    QString spacing = QStringLiteral("1");
};

// The width attribute: empty unless `addWidth`; else " width='W'" or " width='W%'".
QString tableWidthAttribute(bool addWidth, const QString& width, bool inPercent);

// Cells a table of `rows` x `columns` generates: no row below 1, one cell at least a row.
qint64 tableCellCount(qint32 rows, qint32 columns);

// A table of `rows` rows (none below 1) and `columns` cells a row (at least one), each
// cell holding a non-breaking space.
QString table(const TableLayout& layout, qint32 rows, qint32 columns,
              const QString& widthAttribute);

// An ordered ("<ol>") or unordered ("<ul>") list of `items` empty items (none below 1).
QString list(bool ordered, qint32 items);

// The body start tag of the colours dialog; colours in blue-green-red order.
struct BodyColors {
    int background = 0;
    int text = 0;
    int link = 0;
    int activeLink = 0;
    int visitedLink = 0;
    bool useImage = false;
    QString imagePath; // written as it stands, empty when none was chosen
};
QString colors(const BodyColors& body);

// Which of three option buttons counts as chosen: 0 if the first is selected, else 2 if
// the third is, else 1.
int choiceOfThree(bool firstSelected, bool thirdSelected);

// The marquee element; the option texts are the captions of the chosen buttons.
struct MarqueeFields {
    QString text;
    QString align = QStringLiteral("Left");
    QString behavior = QStringLiteral("Scoll");
    QString direction = QStringLiteral("Left");
    int background = 0;
    QString amount = QStringLiteral("10");
    QString delay = QStringLiteral("90");
};
QString marquee(const MarqueeFields& fields);

// The iframe start tag (height before width; no closing tag).
struct IframeFields {
    QString url = QStringLiteral("http://");
    QString title;
    QString width;
    QString height;
    bool removeBorder = false;
};
QString iframe(const IframeFields& fields);

} // namespace fragments
