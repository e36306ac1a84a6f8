// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

class TxtCode;

// What assistive technology sees of the editor: an editable multi-line text whose offsets
// are UTF-16 units of TxtCode::Text (a line break counts two, a character outside the
// Basic Multilingual Plane two), the same positions as SelStart. Every query is answered
// through the editor's UTF-16 line index from the lines it concerns, so none costs time in
// proportion to the document; only the whole-text queries read the whole text.
class TxtCodeAccessible : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
public:
    explicit TxtCodeAccessible(TxtCode* editor);

    // Installs the factory that gives every TxtCode this interface (once per process).
    static void install();

    void* interface_cast(QAccessible::InterfaceType t) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    TxtCode* editor() const;
    // The piece of text of one boundary unit around `offset`, searched within the line
    // holding it: [*start, *end) in document offsets.
    void unitAt(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const;
};
