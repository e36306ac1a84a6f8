// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <utility>

class QsciScintillaBase;

// The editor's bytes where Scintilla keeps them.
//
// Scintilla holds the text in one buffer with a gap at the place of the last edit, so that
// typing there moves nothing. Reading a range that spans the gap as one piece
// (SCI_GETRANGEPOINTER, SCI_GETCHARACTERPOINTER) makes Scintilla close the gap first, which
// moves every byte between the gap and the range; the next edit opens the gap again and
// moves them back. This reader takes the bytes of a range as the stretches they lie in (at
// most two, one on each side of the gap) and so never moves the gap; only contiguous() and
// whole() close it, for the readers that walk the bytes as one array. Every read of the editor's
// bytes goes through it, and every text made of them through the one decoder
// (editorbytes::decode).
class EditorBuffer {
public:
    explicit EditorBuffer(const QsciScintillaBase& editor) : editor_(editor) {}

    // Bytes of the whole text.
    qint64 length() const;
    // The bytes [from, to) (clamped to the text) as the two stretches they lie in, in
    // order; the second is empty when the range does not span the gap.
    std::pair<QByteArrayView, QByteArrayView> pieces(qint64 from, qint64 to) const;
    // The text of the bytes [from, to) (see editorbytes::decode).
    QString text(qint64 from, qint64 to, bool* stray = nullptr) const;
    // A copy of the bytes [from, to).
    QByteArray bytes(qint64 from, qint64 to) const;
    // Copies the bytes [from, from + count), which lie in the text, to `to`.
    void copy(qint64 from, qint64 count, char* to) const;
    // The position of the last byte `c` (an ASCII character, never part of a longer
    // sequence), or -1.
    qint64 lastIndexOf(char c) const;
    // The bytes [from, to) (clamped) as one piece, for a reader that needs them so: when the
    // range spans the gap, the gap moves to the range's start. Valid until the next edit or
    // the next move of the gap.
    QByteArrayView contiguous(qint64 from, qint64 to) const;
    // The whole text as one piece, for the readers that walk it as one array: the gap moves
    // to the end of the buffer, where no later read moves it again. Valid until the next
    // edit.
    QByteArrayView whole() const;

private:
    qint64 gap(qint64 length) const;
    const char* at(qint64 from, qint64 count) const;

    const QsciScintillaBase& editor_;
};
