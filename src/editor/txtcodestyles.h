// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QVector>

#include "text/charformat.h"

// The formats the editor's text uses, each held as a Scintilla style number: 0..31 and
// 40..255 (32..39 are Scintilla's own). Style 0 is the plain format.
class StyleTable {
public:
    StyleTable();

    // The style of a format. *added tells whether the format is new, so that the caller
    // defines the style in the editor. When every style is taken: a style with the same
    // colours if there is one, else the plain style.
    int styleFor(const CharFormat& format, bool* added);
    const CharFormat& format(int style) const { return styles_[style]; }
    // Every style in use with its format.
    template <typename Visit> void forEach(Visit visit) const {
        for (auto it = index_.constBegin(); it != index_.constEnd(); ++it)
            visit(it.value(), styles_[it.value()]);
    }

private:
    QVector<CharFormat> styles_; // style number -> format
    QHash<QString, int> index_;  // format key -> style number
};

// Walks the editor's bytes forward, keeping the UTF-16 position (Text offset) of its byte
// position; moving costs the distance moved. A byte that is not valid UTF-8 (a stray byte
// of the file) is a character of one unit, as Scintilla counts it.
class Utf16Walker {
public:
    Utf16Walker(const char* text, qint64 length) : text_(text), length_(length) {}

    qint64 byte() const { return byte_; }
    int unit() const { return unit_; }
    bool atEnd() const { return byte_ >= length_; }
    void reset(qint64 byte, int unit) {
        byte_ = byte;
        unit_ = unit;
    }
    // Moves over one character; returns its UTF-16 units (0 at the end).
    int step();
    // Moves forward while the next character ends at or before `unit`; true when it
    // stands exactly at `unit` then (not inside a character, not short of the end).
    bool advanceTo(int unit);
    // Moves forward until it stands at or beyond `unit` (or at the end).
    void advancePast(int unit);

private:
    const char* text_;
    qint64 length_;
    qint64 byte_ = 0;
    int unit_ = 0;
};
