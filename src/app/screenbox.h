// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>
#include <QTextObjectInterface>
#include <QVector>

class QTextCursor;
class QTextDocument;

// A character of the text that the box holds as an object, and where.
struct KeptChar {
    int position = 0; // in the box's raw text, where U+FFFC stands for it
    char16_t character = 0;
};

// The full-screen window's text box: plain text that keeps every character it is given.
//
// QTextDocument makes a paragraph break of U+2029 and of its frame markers U+FDD0 and
// U+FDD1 wherever text is inserted, so that such a character of the document would come
// back as a line break. The box holds each of them as an object (U+FFFC with an object
// format naming the character), drawn as a small label, and gives the character back
// wherever text leaves the box: the document, the clipboard, a drag.
class ScreenBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ScreenBox(QWidget* parent = nullptr);

    // The block user state of a block that continues the line of the block before it.
    static constexpr int kContinuesLine = 1;

    // Characters that QTextDocument cannot hold as text.
    static bool keptAsObject(char16_t c) { return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1; }

    // Whether line separators (U+2028) in the box join lines of the document (they then
    // stand for line breaks) or are characters of the document.
    void setSeparatorsJoinLines(bool join) { separatorsJoinLines_ = join; }
    bool separatorsJoinLines() const { return separatorsJoinLines_; }

    // Replaces the text: `raw` as setPlainText takes it, each of `kept` standing at a
    // U+FFFC of it. Undo starts afresh.
    void setKeptText(const QString& raw, const QVector<KeptChar>& kept);
    // The text between two positions of the box with every line break as '\n' (block
    // ends, but not before a block that continues its line; line separators when they
    // join lines) and every object as its character.
    QString keptText(int from, int to) const;
    QString keptText() const;

    // Inserts text at a cursor as typed or pasted text: line breaks start new blocks,
    // characters the document cannot hold become objects.
    static void insertKeeping(QTextCursor& cursor, const QString& text);

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // The margin of line numbers reads the layout of the blocks in view.
    friend class ScreenNumbers;
    bool separatorsJoinLines_ = false;
};

// Draws the objects of a ScreenBox: each as a small label naming its character.
class KeptCharLabels : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument* doc, int posInDocument, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int posInDocument,
                    const QTextFormat& format) override;
};
