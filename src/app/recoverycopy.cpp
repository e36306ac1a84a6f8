// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recoverycopy.h"

#include <QElapsedTimer>
#include <Qsci/qsciscintillabase.h>
#include <cstring>

#include "editor/editorbuffer.h"

void RecoveryCopy::start(qint64 meet) {
    cancel();
    running_ = true;
    meet_ = meet;
}

void RecoveryCopy::cancel() {
    running_ = false;
    head_ = QByteArray();
    tail_ = QByteArray();
    headCopied_ = tailCopied_ = 0;
}

void RecoveryCopy::edited(qint64 position, bool inserted, qint64 length, qint64 total) {
    if (!running_)
        return;
    // The head stays good up to the edit; the tail from the end of what was put in (or
    // from where text was taken out), counted from the end of the text.
    headCopied_ = qMin(headCopied_, position);
    const qint64 after = position + (inserted ? length : 0);
    tailCopied_ = qMin(tailCopied_, qMax<qint64>(0, total - after));
    meet_ = after;
}

bool RecoveryCopy::step(const QsciScintillaBase& editor, int budgetMs) {
    if (!running_)
        return false;
    const EditorBuffer buffer(editor);
    const qint64 length = buffer.length();
    // Room for some typing during the copy; memory is only touched as it is filled.
    const qint64 room = length + length / 64 + 65536;
    if (head_.size() < length)
        head_.resize(room);
    if (tail_.size() < length) {
        // The tail lies at the end of its buffer; a bigger buffer takes it along.
        QByteArray bigger(room, Qt::Uninitialized);
        std::memcpy(bigger.data() + room - tailCopied_,
                    tail_.constData() + tail_.size() - tailCopied_, size_t(tailCopied_));
        tail_ = std::move(bigger);
    }
    QElapsedTimer clock;
    clock.start();
    for (bool first = true;; first = false) {
        const qint64 gapStart = headCopied_, gapEnd = length - tailCopied_;
        if (gapEnd - gapStart <= piece_) {
            buffer.copy(gapStart, gapEnd - gapStart, head_.data() + gapStart);
            headCopied_ = gapEnd;
            return true;
        }
        if (!first && clock.elapsed() >= budgetMs)
            return false;
        const qint64 edit = qBound(gapStart, meet_, gapEnd);
        if (edit - gapStart >= gapEnd - edit) {
            buffer.copy(gapStart, piece_, head_.data() + gapStart);
            headCopied_ += piece_;
        } else {
            buffer.copy(gapEnd - piece_, piece_,
                        tail_.data() + tail_.size() - tailCopied_ - piece_);
            tailCopied_ += piece_;
        }
    }
}

RecoveryCopy::Copied RecoveryCopy::take() {
    Copied copied;
    head_.truncate(headCopied_);
    copied.head = std::move(head_);
    copied.tail = std::move(tail_);
    copied.tailSize = tailCopied_;
    cancel();
    return copied;
}
