// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QsciScintilla;

// The end of the longest start of `bytes` that decodes as it does within the whole text:
// the bytes minus a UTF-8 sequence cut in two at their end. The editor's text can be
// decoded piece by piece at such ends (a stray byte or a broken sequence reads the same
// in a piece as in the whole).
qsizetype wholeCharactersEnd(QByteArrayView bytes);

// A copy of the editor's text as a QString (its Text), taken on the window's thread in
// steps of a few milliseconds between which typing goes on. Each step copies pieces of
// the editor's bytes from its buffer (EditorBuffer: the gap is not moved) and decodes them;
// the editor's text must not change while the copy is under way (its owner abandons the
// copy when it does).
class EditorTextCopy {
public:
    // Bytes copied and decoded at a time.
    static constexpr qsizetype kPiece = 256 << 10;

    // Starts a copy of the editor's text (the previous copy, if any, is dropped).
    void start(const QsciScintilla* editor, qsizetype textLength);
    // Copies for about `budgetMs` milliseconds; true once the whole text is copied.
    bool step(int budgetMs);
    // True between start() and the end of the copy.
    bool copying() const { return editor_ != nullptr; }
    // Drops the copy.
    void abandon();
    // The copied text (after step() gave true); the copy is empty afterwards.
    QString take();

private:
    const QsciScintilla* editor_ = nullptr;
    qint64 from_ = 0;
    qint64 length_ = 0;
    QByteArray piece_;
    QString text_;
};
