// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/screenbox.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

constexpr int kObjectType = QTextFormat::UserObject + 1;
constexpr int kCharacterProperty = QTextFormat::UserProperty + 1;

QTextCharFormat objectFormat(char16_t c) {
    QTextCharFormat f;
    f.setObjectType(kObjectType);
    f.setProperty(kCharacterProperty, int(c));
    return f;
}

// The character an object of the box stands for, or 0 for text.
char16_t keptCharacterOf(const QTextFormat& f) {
    return f.objectType() == kObjectType ? char16_t(f.intProperty(kCharacterProperty)) : 0;
}

QString labelOf(char16_t c) {
    return c == 0x2029 ? QStringLiteral("PS") : QString::number(c, 16).toUpper();
}

QFont labelFont(const QTextDocument* doc) {
    QFont f = doc->defaultFont();
    f.setPointSizeF(f.pointSizeF() * 0.7);
    return f;
}

} // namespace

ScreenBox::ScreenBox(QWidget* parent) : QPlainTextEdit(parent) {
    document()->documentLayout()->registerHandler(kObjectType, new KeptCharLabels(this));
}

void ScreenBox::setKeptText(const QString& raw, const QVector<KeptChar>& kept) {
    setPlainText(raw);
    if (kept.isEmpty())
        return;
    QTextDocument* doc = document();
    // Making the objects is part of loading the text, not an edit to undo.
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    // One edit block: the box lays its text out once, not after each object.
    QTextCursor c(doc);
    c.beginEditBlock();
    for (const KeptChar& k : kept) {
        c.setPosition(k.position);
        c.setPosition(k.position + 1, QTextCursor::KeepAnchor);
        c.setCharFormat(objectFormat(k.character));
    }
    c.endEditBlock();
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
}

QString ScreenBox::keptText() const {
    return keptText(0, document()->characterCount());
}

QString ScreenBox::keptText(int from, int to) const {
    const QTextDocument* doc = document();
    QString out;
    if (to <= from)
        return out;
    out.reserve(qMin(to, doc->characterCount()) - from);
    for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
        for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int a = qMax(from, f.position());
            const int e = qMin(to, f.position() + f.length());
            if (e <= a)
                continue;
            QString piece = f.text().mid(a - f.position(), e - a);
            if (const char16_t kept = keptCharacterOf(f.charFormat()))
                piece.replace(QChar::ObjectReplacementCharacter, QChar(kept));
            else if (separatorsJoinLines_)
                piece.replace(QChar::LineSeparator, QLatin1Char('\n'));
            out += piece;
        }
        // The block's end, unless the next block goes on with the same line.
        const int end = b.position() + b.length() - 1;
        const QTextBlock next = b.next();
        if (next.isValid() && end >= from && end < to && next.userState() != kContinuesLine)
            out += QLatin1Char('\n');
    }
    return out;
}

void ScreenBox::insertKeeping(QTextCursor& cursor, const QString& text) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!keptAsObject(c))
            continue;
        if (i > start)
            cursor.insertText(text.mid(start, i - start));
        cursor.insertText(QString(QChar::ObjectReplacementCharacter), objectFormat(c));
        start = i + 1;
    }
    if (start < text.size())
        cursor.insertText(text.mid(start));
}

QMimeData* ScreenBox::createMimeDataFromSelection() const {
    // The selection's own characters, not the box's stand-ins for them.
    const QTextCursor c = textCursor();
    auto* mime = new QMimeData;
    mime->setText(keptText(c.selectionStart(), c.selectionEnd()));
    return mime;
}

void ScreenBox::insertFromMimeData(const QMimeData* source) {
    // Qt's own insertion crashes on data without any format, which is what an empty
    // clipboard gives (or one whose owner has quit).
    if (!source || isReadOnly() || source->formats().isEmpty())
        return;
    const QString text = source->text();
    if (std::none_of(text.cbegin(), text.cend(),
                     [](QChar c) { return keptAsObject(c.unicode()); })) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QTextCursor c = textCursor();
    c.beginEditBlock();
    insertKeeping(c, text);
    c.endEditBlock();
    setTextCursor(c);
    ensureCursorVisible();
}

QSizeF KeptCharLabels::intrinsicSize(QTextDocument* doc, int, const QTextFormat& format) {
    // As high as the text above its baseline, so that a line holding one is not taller.
    const QFontMetricsF text(doc->defaultFont());
    const QFontMetricsF label(labelFont(doc));
    return QSizeF(label.horizontalAdvance(labelOf(keptCharacterOf(format))) + 4, text.ascent());
}

void KeptCharLabels::drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int,
                                const QTextFormat& format) {
    const QPalette palette = QGuiApplication::palette();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette.color(QPalette::Text));
    painter->drawRoundedRect(rect.adjusted(0.5, 1, -0.5, 0), 2, 2);
    painter->setPen(palette.color(QPalette::Base));
    painter->setFont(labelFont(doc));
    painter->drawText(rect, Qt::AlignCenter, labelOf(keptCharacterOf(format)));
    painter->restore();
}
