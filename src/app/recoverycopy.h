// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

class QsciScintillaBase;

// A copy of the editor's bytes for a recovery file, taken in steps between which the user
// goes on typing.
//
// The copy grows from both ends of the text towards the place where the ends are to meet
// (the last edit), where typing goes on: an edit there leaves both ends as they are. An
// edit in a part already copied sends that end back to the edit, so the finished copy is
// the text as it is when the last step ends.
class RecoveryCopy {
public:
    // piece: the bytes copied at a time.
    explicit RecoveryCopy(qint64 piece = 256 << 10) : piece_(piece) {}

    // Starts a copy whose two ends meet at byte position `meet`; drops one under way.
    void start(qint64 meet);
    // Drops the copy under way, if any.
    void cancel();
    bool running() const { return running_; }

    // The text changed while the copy runs: at byte `position`, `length` bytes were put in
    // (inserted) or taken out; the text is now `total` bytes.
    void edited(qint64 position, bool inserted, qint64 length, qint64 total);

    // Copies from the editor's buffer, at least one piece, until the copy is whole or
    // `budgetMs` milliseconds have passed. True when the copy is whole: take() gives it.
    bool step(const QsciScintillaBase& editor, int budgetMs);

    // The whole copy, in two parts: the text is `head` followed by the last `tailSize`
    // bytes of `tail` (it stays at the end of its buffer, which is not copied again).
    struct Copied {
        QByteArray head;
        QByteArray tail;
        qint64 tailSize = 0;
        QByteArrayView tailBytes() const {
            return QByteArrayView(tail.constData() + tail.size() - tailSize, tailSize);
        }
    };
    // The copy that step() finished; the copy is then no longer running.
    Copied take();

private:
    qint64 piece_;
    bool running_ = false;
    // head_[0, headCopied_) is the start of the editor's text, the last tailCopied_
    // bytes of tail_ its end.
    QByteArray head_;
    QByteArray tail_;
    qint64 headCopied_ = 0;
    qint64 tailCopied_ = 0;
    qint64 meet_ = 0; // where the copy's two ends meet
};
