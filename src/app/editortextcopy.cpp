// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editortextcopy.h"

#include <QElapsedTimer>
#include <Qsci/qsciscintilla.h>

#include "editor/editorbuffer.h"
#include "editor/editorbytes.h"

qsizetype wholeCharactersEnd(QByteArrayView bytes) {
    const qsizetype n = bytes.size();
    // A sequence is at most four bytes: its lead byte is among the last three when it is cut.
    for (qsizetype i = n - 1; i >= 0 && i >= n - 3; --i) {
        const auto b = static_cast<uchar>(bytes[i]);
        if (b < 0x80)
            return n; // ASCII: nothing after it can be a cut sequence's
        if (b < 0xC0)
            continue; // a continuation byte: its lead may be further back
        const qsizetype wanted = b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF8 ? 4 : 1;
        // Whatever follows decides whether the sequence is whole: the piece ends before it.
        return i + wanted > n ? i : n;
    }
    return n;
}

void EditorTextCopy::start(const QsciScintilla* editor, qsizetype textLength) {
    editor_ = editor;
    from_ = 0;
    length_ = EditorBuffer(*editor).length();
    text_ = QString();
    text_.reserve(textLength);
}

bool EditorTextCopy::step(int budgetMs) {
    if (!editor_)
        return false;
    QElapsedTimer clock;
    clock.start();
    while (from_ < length_) {
        const qint64 count = qMin<qint64>(kPiece, length_ - from_);
        piece_.resize(count);
        EditorBuffer(*editor_).copy(from_, count, piece_.data());
        // The last piece is whole; another ends before a sequence it would cut.
        qsizetype used = from_ + count < length_ ? wholeCharactersEnd(piece_) : count;
        if (used == 0)
            used = count; // cannot happen with pieces longer than a sequence
        text_ += editorbytes::decode(QByteArrayView(piece_.constData(), used));
        from_ += used;
        if (clock.elapsed() >= budgetMs)
            break;
    }
    if (from_ < length_)
        return false;
    editor_ = nullptr;
    piece_ = QByteArray();
    return true;
}

void EditorTextCopy::abandon() {
    editor_ = nullptr;
    piece_ = QByteArray();
    text_ = QString();
}

QString EditorTextCopy::take() {
    QString out = std::move(text_);
    text_ = QString();
    return out;
}
