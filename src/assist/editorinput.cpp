// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/editorinput.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "editor/txtcode.h"

namespace assist {

bool isGreaterThanRelease(int key, int shift) {
    return (key == Qt::Key_Greater || key == Qt::Key_Period) && shift == 1;
}

EditorInput::EditorInput(TxtCode* editor, const SyntaxColourTable* colours, QMenu* popMenu,
                         QAction* popHighLight, QAction* popNoHighLight)
    : QObject(editor), editor_(editor), colours_(colours), popMenu_(popMenu),
      popHighLight_(popHighLight), popNoHighLight_(popNoHighLight) {
    connect(editor, &TxtCode::KeyPress, this, &EditorInput::txtCode_KeyPress);
    connect(editor, &TxtCode::KeyUp, this,
            [this](int key, int shift, quint32) { txtCode_KeyUp(key, shift); });
    connect(editor, &TxtCode::KeyDown, this, &EditorInput::txtCode_KeyDown);
    connect(editor, &TxtCode::MouseDown, this, &EditorInput::txtCode_MouseDown);
    connect(editor, &TxtCode::SelChange, this, &EditorInput::txtCode_SelChange);
    txtCode_SelChange();
}

bool EditorInput::InsideTag() const {
    return insideTag(editor_->lastIndexOfAscii('<'), editor_->lastIndexOfAscii('>'));
}

void EditorInput::txtCode_KeyPress(QChar c) {
    const int colour = typingColour(c, [this] { return InsideTag(); });
    if (colour >= 0)
        editor_->SetSelColor((*colours_)[size_t(colour)]);
}

void EditorInput::txtCode_KeyUp(int key, int shift) {
    if (isGreaterThanRelease(key, shift))
        editor_->SetSelColor(0);
}

void EditorInput::txtCode_KeyDown(KeyDownEvent& event) {
    // Tab with any modifiers writes one tab character; the focus stays.
    if (event.key == Qt::Key_Tab || event.key == Qt::Key_Backtab) {
        event.consumed = true;
        editor_->SetSelText(QStringLiteral("\t"));
        return;
    }
    // Ctrl+V alone pastes the clipboard's plain text, never its formatting.
    if (event.shift == 2 && event.key == Qt::Key_V) {
        event.consumed = true;
        editor_->pasteMime(QGuiApplication::clipboard()->mimeData());
    }
}

void EditorInput::txtCode_MouseDown(Qt::MouseButton button, const QPoint& globalPos) {
    if (button != Qt::RightButton)
        return;
    txtCode_SelChange();
    popMenu_->popup(globalPos);
}

void EditorInput::txtCode_SelChange() {
    const bool selected = editor_->SelLength() > 0;
    popHighLight_->setEnabled(selected);
    popNoHighLight_->setEnabled(selected);
}

} // namespace assist
