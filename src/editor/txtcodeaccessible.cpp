// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/txtcodeaccessible.h"

#include <QTextBoundaryFinder>

#include "editor/txtcode.h"

namespace {

// Word and sentence units are looked for within this many code units around the offset,
// so that a query on a line of megabytes costs no more than one on a short line.
constexpr int kUnitWindow = 4096;

QAccessibleInterface* txtCodeFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("TxtCode"))
        if (auto* editor = qobject_cast<TxtCode*>(object))
            return new TxtCodeAccessible(editor);
    return nullptr;
}

} // namespace

TxtCodeAccessible::TxtCodeAccessible(TxtCode* editor)
    : QAccessibleWidget(editor, QAccessible::EditableText) {}

void TxtCodeAccessible::install() {
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(txtCodeFactory);
        installed = true;
    }
}

TxtCode* TxtCodeAccessible::editor() const {
    return static_cast<TxtCode*>(widget());
}

void* TxtCodeAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessible::State TxtCodeAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = !editor()->isReadOnly();
    s.readOnly = editor()->isReadOnly();
    s.multiLine = true;
    s.selectableText = true;
    return s;
}

QString TxtCodeAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return editor()->Text();
    return QAccessibleWidget::text(t);
}

// ---- selection and caret ---------------------------------------------------------------

void TxtCodeAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0)
        return;
    *startOffset = editor()->SelStart();
    *endOffset = *startOffset + editor()->SelLength();
}

int TxtCodeAccessible::selectionCount() const {
    return editor()->SelLength() > 0 ? 1 : 0;
}

void TxtCodeAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void TxtCodeAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0)
        editor()->SetSelStart(editor()->SelStart());
}

void TxtCodeAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex != 0)
        return;
    // Each end on its own: an end inside a surrogate pair goes to the pair's start
    // without moving the other end.
    TxtCode* ed = editor();
    const int n = ed->TextLength();
    const qint64 a = ed->toBytePos(qBound(0, qMin(startOffset, endOffset), n));
    const qint64 b = ed->toBytePos(qBound(0, qMax(startOffset, endOffset), n));
    ed->SendScintilla(QsciScintillaBase::SCI_SETSEL, (unsigned long)a, (long)b);
}

int TxtCodeAccessible::cursorPosition() const {
    return editor()->toCharPos(editor()->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
}

void TxtCodeAccessible::setCursorPosition(int position) {
    editor()->SetSelStart(position);
}

// ---- text --------------------------------------------------------------------------------

QString TxtCodeAccessible::text(int startOffset, int endOffset) const {
    return editor()->textRange(startOffset, endOffset);
}

int TxtCodeAccessible::characterCount() const {
    return editor()->TextLength();
}

void TxtCodeAccessible::unitAt(int offset, QAccessible::TextBoundaryType type, int* start,
                               int* end) const {
    TxtCode* ed = editor();
    const int count = ed->TextLength();
    offset = qBound(0, offset, count);
    if (type == QAccessible::NoBoundary) {
        *start = 0;
        *end = count;
        return;
    }
    const int line = ed->GetLineFromChar(offset);
    const int lineStart = ed->LineStart(line);
    const int next = ed->LineStart(line + 1);
    const int lineEnd = next < 0 ? count : next;
    if (type == QAccessible::LineBoundary || type == QAccessible::ParagraphBoundary) {
        *start = lineStart;
        *end = lineEnd;
        return;
    }
    // Characters, words and sentences: searched in a window of the line around the offset,
    // which starts at a character's start (never between the halves of a surrogate pair).
    const int from = ed->toCharPos(ed->toBytePos(qMax(lineStart, offset - kUnitWindow)));
    const int to = qMin(lineEnd, offset + kUnitWindow);
    const QString piece = ed->textRange(from, to);
    QTextBoundaryFinder::BoundaryType bt = QTextBoundaryFinder::Grapheme;
    if (type == QAccessible::WordBoundary)
        bt = QTextBoundaryFinder::Word;
    else if (type == QAccessible::SentenceBoundary)
        bt = QTextBoundaryFinder::Sentence;
    QTextBoundaryFinder finder(bt, piece);
    const int local = offset - from;
    if (local >= piece.size()) {
        *start = *end = offset;
        return;
    }
    finder.setPosition(local);
    int s = finder.isAtBoundary() ? local : int(finder.toPreviousBoundary());
    finder.setPosition(local);
    int e = int(finder.toNextBoundary());
    if (s < 0)
        s = 0;
    if (e < 0)
        e = int(piece.size());
    *start = from + s;
    *end = from + e;
}

QString TxtCodeAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                        int* startOffset, int* endOffset) const {
    unitAt(offset, boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

QString TxtCodeAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const {
    int s, e;
    unitAt(offset, boundaryType, &s, &e);
    if (s <= 0) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    unitAt(s - 1, boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

QString TxtCodeAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const {
    int s, e;
    unitAt(offset, boundaryType, &s, &e);
    if (e >= characterCount()) {
        *startOffset = *endOffset = -1;
        return QString();
    }
    unitAt(e, boundaryType, startOffset, endOffset);
    return text(*startOffset, *endOffset);
}

// ---- geometry ----------------------------------------------------------------------------

QRect TxtCodeAccessible::characterRect(int offset) const {
    TxtCode* ed = editor();
    const qint64 b = ed->toBytePos(offset);
    const qint64 next = ed->SendScintilla(QsciScintillaBase::SCI_POSITIONAFTER, (unsigned long)b);
    const int x = int(ed->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, (long)b));
    const int y = int(ed->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, (long)b));
    int x2 = int(ed->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, (long)next));
    if (x2 <= x)
        x2 = x + 1;
    const int line =
        int(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, (unsigned long)b));
    const int h = int(ed->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, (unsigned long)line));
    const QPoint topLeft = ed->viewport()->mapToGlobal(QPoint(x, y));
    return QRect(topLeft, QSize(x2 - x, h));
}

int TxtCodeAccessible::offsetAtPoint(const QPoint& point) const {
    TxtCode* ed = editor();
    const QPoint local = ed->viewport()->mapFromGlobal(point);
    const long b = ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMPOINTCLOSE,
                                     (unsigned long)local.x(), (long)local.y());
    return b < 0 ? -1 : ed->toCharPos(b);
}

void TxtCodeAccessible::scrollToSubstring(int startIndex, int endIndex) {
    TxtCode* ed = editor();
    ed->SendScintilla(QsciScintillaBase::SCI_SCROLLRANGE, (unsigned long)ed->toBytePos(endIndex),
                      (long)ed->toBytePos(startIndex));
}

QString TxtCodeAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    TxtCode* ed = editor();
    const int count = ed->TextLength();
    if (offset < 0 || offset >= count) {
        *startOffset = *endOffset = offset;
        return QString();
    }
    // The attributes of the one character asked about: a run search could cost the line.
    *startOffset = offset;
    *endOffset = offset + 1;
    const CharFormat f = ed->formatAt(offset);
    auto rgb = [](BgrColor c) {
        return QStringLiteral("rgb(%1,%2,%3)").arg(bgrRed(c)).arg(bgrGreen(c)).arg(bgrBlue(c));
    };
    QString a = QStringLiteral("color:%1;").arg(rgb(f.color));
    if (f.highlight >= 0)
        a += QStringLiteral("background-color:%1;").arg(rgb(f.highlight));
    a += QStringLiteral("font-family:\"%1\";").arg(f.font.isEmpty() ? ed->Font().family() : f.font);
    if (f.bold)
        a += QStringLiteral("font-weight:bold;");
    if (f.italic)
        a += QStringLiteral("font-style:italic;");
    if (f.underline)
        a += QStringLiteral("text-underline-style:solid;");
    return a;
}

// ---- editing -----------------------------------------------------------------------------

void TxtCodeAccessible::deleteText(int startOffset, int endOffset) {
    replaceText(startOffset, endOffset, QString());
}

void TxtCodeAccessible::insertText(int offset, const QString& text) {
    replaceText(offset, offset, text);
}

void TxtCodeAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
    if (editor()->isReadOnly())
        return;
    editor()->replaceRange(qMin(startOffset, endOffset), qMax(startOffset, endOffset), text);
}
