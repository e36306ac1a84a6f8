// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/screennumbers.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include "app/screenbox.h"
#include "app/viewaids.h"

ScreenNumbers::ScreenNumbers(ScreenBox* box) : QWidget(box), box_(box) {
    setObjectName(QStringLiteral("screenNumbers"));
    setFont(box_->font());
    box_->installEventFilter(this);
    connect(box_->document(), &QTextDocument::contentsChange, this, &ScreenNumbers::contentsChange);
    // Scrolling, typing and the caret's blink repaint the numbers beside them.
    connect(box_, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy)
            scroll(0, dy);
        else
            update(0, rect.y(), width(), rect.height());
    });
    fit();
    show();
}

int ScreenNumbers::linesStartingIn(const QTextBlock& block) const {
    int n = block.userState() == ScreenBox::kContinuesLine ? 0 : 1;
    if (box_->separatorsJoinLines())
        n += int(block.text().count(QChar::LineSeparator));
    return n;
}

void ScreenNumbers::recount() {
    perBlock_.clear();
    perBlock_.reserve(size_t(box_->document()->blockCount()));
    total_ = 0;
    for (QTextBlock b = box_->document()->begin(); b.isValid(); b = b.next()) {
        perBlock_.push_back(linesStartingIn(b));
        total_ += perBlock_.back();
    }
    beforeValid_ = 0;
    stale_ = false;
}

void ScreenNumbers::contentsChange(int position, int removed, int added) {
    Q_UNUSED(removed);
    if (stale_)
        return;
    const QTextDocument* doc = box_->document();
    // Loading a whole text (setPlainText) comes before the blocks are marked as continuing
    // lines: count once the loading is over.
    if (added >= doc->characterCount() - 1) {
        stale_ = true;
        QTimer::singleShot(0, this, [this] {
            if (stale_)
                fit();
        });
        return;
    }
    // The blocks from the one holding `position` to the one holding the end of the added
    // text are those the edit made; the same blocks before it, as many fewer as the edit
    // added, are those it replaced. The blocks before and after them are unchanged.
    const QTextBlock first = doc->findBlock(position);
    QTextBlock last = doc->findBlock(position + added);
    if (!last.isValid())
        last = doc->lastBlock();
    const int firstNumber = first.isValid() ? first.blockNumber() : 0;
    const int made = last.blockNumber() - firstNumber + 1;
    const int replaced = made - (doc->blockCount() - int(perBlock_.size()));
    if (!first.isValid() || replaced < 1 || size_t(firstNumber + replaced) > perBlock_.size()) {
        recount();
        fit();
        return;
    }
    std::vector<int> counts;
    counts.reserve(size_t(made));
    for (QTextBlock b = first;; b = b.next()) {
        counts.push_back(linesStartingIn(b));
        if (b == last)
            break;
    }
    const auto from = perBlock_.begin() + firstNumber;
    for (auto it = from; it != from + replaced; ++it)
        total_ -= *it;
    for (int n : counts)
        total_ += n;
    if (replaced == made) {
        std::copy(counts.begin(), counts.end(), from);
    } else {
        perBlock_.erase(from, from + replaced);
        perBlock_.insert(perBlock_.begin() + firstNumber, counts.begin(), counts.end());
    }
    beforeValid_ = std::min(beforeValid_, size_t(firstNumber));
    fit();
}

int ScreenNumbers::linesBefore(int blockNumber) {
    if (stale_)
        recount();
    const size_t n = size_t(qBound(0, blockNumber, int(perBlock_.size())));
    if (before_.size() < perBlock_.size() + 1)
        before_.resize(perBlock_.size() + 1);
    if (beforeValid_ == 0) {
        before_[0] = 0;
        beforeValid_ = 1;
    }
    for (size_t i = beforeValid_; i <= n; ++i)
        before_[i] = before_[i - 1] + perBlock_[i - 1];
    beforeValid_ = std::max(beforeValid_, n + 1);
    return before_[n];
}

int ScreenNumbers::lineCount() {
    if (stale_)
        recount();
    return total_;
}

int ScreenNumbers::marginWidth() {
    fit();
    return width_;
}

void ScreenNumbers::fit() {
    const int digits = ViewAids::digitsFor(lineCount());
    const int width = fontMetrics().horizontalAdvance(QString(digits + 1, QLatin1Char('9')));
    if (width != width_) {
        width_ = width;
        box_->setViewportMargins(width_, 0, 0, 0);
    }
    const QRect cr = box_->contentsRect();
    const QRect place(cr.left(), cr.top(), width_, cr.height());
    if (geometry() != place)
        setGeometry(place);
}

bool ScreenNumbers::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ &&
        (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)) {
        if (event->type() == QEvent::FontChange)
            setFont(box_->font());
        fit();
    }
    return QWidget::eventFilter(watched, event);
}

template <class Visit> void ScreenNumbers::forEachShown(int bottom, Visit visit) {
    QTextBlock block = box_->firstVisibleBlock();
    if (!block.isValid())
        return;
    int number = linesBefore(block.blockNumber());
    qreal top = box_->blockBoundingGeometry(block).translated(box_->contentOffset()).top();
    const bool joins = box_->separatorsJoinLines();
    while (block.isValid() && top <= bottom) {
        const QTextLayout* layout = block.layout();
        const QString text = joins ? block.text() : QString();
        for (int i = 0; layout && i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const bool starts = i == 0 ? block.userState() != ScreenBox::kContinuesLine
                                       : joins && line.textStart() > 0 &&
                                             text.at(line.textStart() - 1) == QChar::LineSeparator;
            if (!starts)
                continue;
            ++number;
            const qreal y = top + line.y();
            if (y > bottom)
                break;
            if (y + line.height() >= 0)
                visit(number, qRound(y), qRound(line.height()));
        }
        top += box_->blockBoundingRect(block).height();
        block = block.next();
    }
}

QVector<ScreenNumbers::Shown> ScreenNumbers::shownNumbers() {
    QVector<Shown> shown;
    forEachShown(height(), [&](int number, int y, int) { shown.append({number, y}); });
    return shown;
}

void ScreenNumbers::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(0xF0, 0xF0, 0xF0));
    painter.setPen(QColor(0x80, 0x80, 0x80));
    const int pad = fontMetrics().horizontalAdvance(QLatin1Char('9')) / 2;
    forEachShown(event->rect().bottom(), [&](int number, int y, int h) {
        if (y + h < event->rect().top())
            return;
        painter.drawText(0, y, width() - pad, h, Qt::AlignRight | Qt::AlignTop,
                         QString::number(number));
    });
}
