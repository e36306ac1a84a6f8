// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTypeInfo>
#include <QVector>

// Colours are 24-bit values in blue-green-red order (red in the low byte), as the
// rest of the editor and its RTF use them: pure red is 255, pure blue 16711680.
using BgrColor = int;

inline BgrColor bgr(int red, int green, int blue) {
    return (red & 0xff) | ((green & 0xff) << 8) | ((blue & 0xff) << 16);
}
inline int bgrRed(BgrColor c) {
    return c & 0xff;
}
inline int bgrGreen(BgrColor c) {
    return (c >> 8) & 0xff;
}
inline int bgrBlue(BgrColor c) {
    return (c >> 16) & 0xff;
}

// The format one character of the document carries.
struct CharFormat {
    BgrColor color = 0;      // text colour
    BgrColor highlight = -1; // background colour, -1 for none
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QString font;      // empty: the editor's font
    double size = 0.0; // points; 0: the editor's size
    int up = 0;        // raise in half-points (negative lowers)

    bool operator==(const CharFormat& o) const {
        return color == o.color && highlight == o.highlight && bold == o.bold &&
               italic == o.italic && underline == o.underline && font == o.font && size == o.size &&
               up == o.up;
    }
    bool operator!=(const CharFormat& o) const { return !(*this == o); }
};

// Plain values (QString is relocatable): vectors of runs grow by moving memory, which
// matters for documents of millions of runs.
Q_DECLARE_TYPEINFO(CharFormat, Q_RELOCATABLE_TYPE);

// A stretch of text in one format; positions are UTF-16 offsets into the text.
struct FormatRun {
    int start = 0;
    int length = 0;
    CharFormat format;
};

Q_DECLARE_TYPEINFO(FormatRun, Q_RELOCATABLE_TYPE);

// A whole document with its formatting: what the editor shows, and what RTF carries.
// Runs are in increasing order, do not overlap and cover the text; characters that
// no run covers have the default format.
struct RichDocument {
    QString text;
    QVector<FormatRun> runs;
};
