// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/tagcompletion.h"

#include <QKeyEvent>

#include "assist/completionlist.h"
#include "assist/editortext.h"
#include "assist/tagscan.h"
#include "editor/txtcode.h"

namespace assist {

using S = QsciScintillaBase;

TagCompletion::TagCompletion(TxtCode* editor) : QObject(editor), editor_(editor) {
    editor->SendScintilla(S::SCI_AUTOCSETAUTOHIDE, 1L);
    editor->SendScintilla(S::SCI_AUTOCSETCHOOSESINGLE, 0L);
    editor->SendScintilla(S::SCI_AUTOCSETDROPRESTOFWORD, 0L);
    // Backspace narrows the list anew rather than closing it, until the word is gone.
    editor->SendScintilla(S::SCI_AUTOCSETCANCELATSTART, 0L);
    editor->SendScintilla(S::SCI_AUTOCSETMAXHEIGHT, 10L);
    editor->SendScintilla(S::SCI_AUTOCSETSEPARATOR, long(' '));
    editor->installEventFilter(this);
    connect(editor, &QsciScintillaBase::SCN_CHARADDED, this, &TagCompletion::charAdded);
    connect(editor, &QsciScintillaBase::SCN_AUTOCCHARDELETED, this, [this] {
        if (active())
            show();
    });
    connect(editor, &QsciScintillaBase::SCN_AUTOCCANCELLED, this, [this] {
        ours_ = false;
        items_.clear();
    });
    connect(editor, &QsciScintillaBase::SCN_AUTOCCOMPLETED, this,
            [this](const char*, int, int, int) {
                ours_ = false;
                items_.clear();
            });
}

bool TagCompletion::active() const {
    return ours_ && editor_->SendScintilla(S::SCI_AUTOCACTIVE) != 0;
}

QStringList TagCompletion::shown() const {
    return active() ? items_ : QStringList();
}

void TagCompletion::show() {
    const qint64 caret = editor_->SendScintilla(S::SCI_GETCURRENTPOS);
    const tagscan::TextView text = editorText(*editor_);
    const tagscan::CompletionContext context = tagscan::completionContext(text, caret);
    const QString typed = context.kind == tagscan::CompletionContext::None
                              ? QString()
                              : QString::fromUtf8(text.bytes(context.wordStart, caret));
    const QStringList items = completionItems(context, typed);
    if (items.isEmpty()) {
        if (active())
            editor_->SendScintilla(S::SCI_AUTOCCANCEL);
        ours_ = false;
        items_.clear();
        return;
    }
    const bool references = context.kind == tagscan::CompletionContext::CharacterReference;
    editor_->SendScintilla(S::SCI_AUTOCSETIGNORECASE, references ? 0L : 1L);
    const QByteArray list = items.join(QLatin1Char(' ')).toUtf8();
    editor_->SendScintilla(S::SCI_AUTOCSHOW, static_cast<unsigned long>(caret - context.wordStart),
                           list.constData());
    ours_ = editor_->SendScintilla(S::SCI_AUTOCACTIVE) != 0;
    items_ = ours_ ? items : QStringList();
}

void TagCompletion::charAdded(int ch) {
    if (active()) {
        show();
        return;
    }
    if (!whileTyping_)
        return;
    if (ch == '<' || ch == '&') {
        show();
    } else if (ch == ' ') {
        const qint64 caret = editor_->SendScintilla(S::SCI_GETCURRENTPOS);
        if (tagscan::completionContext(editorText(*editor_), caret).kind ==
            tagscan::CompletionContext::AttributeName)
            show();
    }
}

bool TagCompletion::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_ || event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const auto mods =
        key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (key->key() == Qt::Key_Space && mods == Qt::ControlModifier) {
        show();
        return true;
    }
    // Tab takes the item, ahead of the Tab key's own rule.
    if (key->key() == Qt::Key_Tab && mods == Qt::NoModifier && active()) {
        editor_->SendScintilla(S::SCI_AUTOCCOMPLETE);
        return true;
    }
    return false;
}

} // namespace assist
