// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>

#include "shell/appcontext.h"

class QAction;
class QMenu;
class TxtCode;
struct KeyDownEvent;

namespace assist {

// True when the last "<" of the text lies after its last ">" (a "<" without any ">"
// counts): the caret's text is being typed inside an unfinished tag. Positions are of
// the last occurrences, -1 for none.
inline bool insideTag(qint64 lastLessThan, qint64 lastGreaterThan) {
    return lastLessThan >= 0 && lastLessThan > lastGreaterThan;
}

// The syntax-table position a typed character switches the typing colour to, or -1 for
// no change. `inside` answers InsideTag; it is asked only for the characters that care.
template <class InsideTag> int typingColour(QChar c, InsideTag inside) {
    switch (c.unicode()) {
    case u'<':
        return 0;
    case u' ':
        return inside() ? 1 : -1;
    case u'"':
        return inside() ? 2 : -1;
    case u'>':
        return inside() ? 0 : -1;
    case u'!':
        return inside() ? 3 : -1;
    default:
        return -1;
    }
}

// True for the key release that ends a ">" typed as Shift and the period key: the key
// ">" or "." released with Shift alone held.
bool isGreaterThanRelease(int key, int shift);

// The main window's behaviour on top of the editor's own: typing colours, the return to
// black after ">", Tab inserting a tab character, Ctrl+V pasting plain text, the popup
// menu on the right button and its items enabled with the selection.
class EditorInput : public QObject {
    Q_OBJECT
public:
    EditorInput(TxtCode* editor, const SyntaxColourTable* colours, QMenu* popMenu,
                QAction* popHighLight, QAction* popNoHighLight);

    // InsideTag over the editor's whole text, searched backwards in its own buffer.
    bool InsideTag() const;

    void txtCode_KeyPress(QChar c);
    void txtCode_KeyUp(int key, int shift);
    void txtCode_KeyDown(KeyDownEvent& event);
    void txtCode_MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void txtCode_SelChange();

private:
    TxtCode* editor_;
    const SyntaxColourTable* colours_;
    QMenu* popMenu_;
    QAction* popHighLight_;
    QAction* popNoHighLight_;
};

} // namespace assist
