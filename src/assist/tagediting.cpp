// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/tagediting.h"

#include <QKeyEvent>

#include "assist/editortext.h"
#include "assist/tagmatcher.h"
#include "assist/tagscan.h"
#include "editor/txtcode.h"

namespace assist {

using S = QsciScintillaBase;

namespace {
// The length of the name starting at `from` (name characters, as far as a name goes).
qint64 nameLength(const tagscan::TextView& text, qint64 from) {
    qint64 to = from;
    while (to < text.size() && to - from < 256 && tagscan::isNameChar(text.at(to)))
        ++to;
    return to - from;
}

bool sameNameAt(const tagscan::TextView& text, qint64 a, qint64 b, qint64 length) {
    for (qint64 i = 0; i < length; ++i)
        if (QChar::toLower(char16_t(text.at(a + i))) != QChar::toLower(char16_t(text.at(b + i))))
            return false;
    return true;
}
} // namespace

TagEditing::TagEditing(TxtCode* editor, TagMatcher* matcher)
    : QObject(editor), editor_(editor), matcher_(matcher) {
    editor->installEventFilter(this);
}

bool TagEditing::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_ || event->type() != QEvent::KeyPress || !(autoClose_ || renamePair_))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    // Over a selection, in overtype or in a read-only text a key does something else.
    if (editor_->SendScintilla(S::SCI_GETSELECTIONSTART) !=
            editor_->SendScintilla(S::SCI_GETSELECTIONEND) ||
        editor_->SendScintilla(S::SCI_GETSELECTIONS) != 1 || editor_->Overtype() ||
        editor_->isReadOnly())
        return false;
    if (autoClose_ && closeTag(key))
        return true;
    if (renamePair_ && renamePartner(key))
        return true;
    return false;
}

template <class After> void TagEditing::withKey(QKeyEvent* key, After after) {
    editor_->SendScintilla(S::SCI_BEGINUNDOACTION);
    static_cast<QObject*>(editor_)->event(key);
    after();
    editor_->SendScintilla(S::SCI_ENDUNDOACTION);
}

bool TagEditing::closeTag(QKeyEvent* key) {
    const QString typed = key->text();
    if (typed != QLatin1String(">") && typed != QLatin1String("/"))
        return false;
    const qint64 caret = editor_->SendScintilla(S::SCI_GETCURRENTPOS);
    const tagscan::TextView text = editorText(*editor_);
    const bool slash = typed == QLatin1String("/");
    const QByteArray name = slash ? tagscan::endTagCompletedBySlash(text, caret)
                                  : tagscan::elementClosedByGreaterThan(text, caret);
    if (name.isEmpty())
        return false;
    withKey(key, [&] {
        // Only when the key wrote its character where it was expected.
        if (editor_->SendScintilla(S::SCI_GETCURRENTPOS) != caret + 1 ||
            editor_->SendScintilla(S::SCI_GETCHARAT, static_cast<unsigned long>(caret)) !=
                typed[0].unicode())
            return;
        const QByteArray written = slash ? name + '>' : "</" + name + '>';
        editor_->SendScintilla(S::SCI_INSERTTEXT, static_cast<unsigned long>(caret + 1),
                               written.constData());
        if (slash) {
            editor_->SendScintilla(S::SCI_GOTOPOS,
                                   static_cast<unsigned long>(caret + 1 + written.size()));
            // As after a typed ">": what follows the tag is typed in black.
            editor_->SetSelColor(0);
        }
    });
    return true;
}

bool TagEditing::renamePartner(QKeyEvent* key) {
    // The edit a key makes to a name: at an offset into it, bytes removed and inserted.
    const QString typed = key->text();
    const bool backspace = key->key() == Qt::Key_Backspace;
    const bool del = key->key() == Qt::Key_Delete;
    QByteArray inserted;
    if (!backspace && !del) {
        if (typed.size() != 1 || typed[0].unicode() > 127 ||
            !tagscan::isNameChar(char(typed[0].unicode())))
            return false;
        inserted = typed.toLatin1();
    }
    const qint64 caret = editor_->SendScintilla(S::SCI_GETCURRENTPOS);
    tagscan::TextView text = editorText(*editor_);
    const tagscan::Token own = tagscan::nameAtCaret(text, caret);
    if (own.kind == tagscan::Token::None)
        return false;
    const qint64 oldLength = own.nameEnd - own.nameStart;
    if ((backspace && caret <= own.nameStart) || (del && caret >= own.nameEnd))
        return false;
    if (!inserted.isEmpty() && oldLength == 0 && !QChar::isLetter(char16_t(inserted[0])))
        return false;

    // The partner: from the last rename while its name still reads the same, else found.
    qint64 partnerName = -1;
    if (link_.ownName == own.nameStart && link_.partnerName >= 0 &&
        nameLength(text, link_.partnerName) == oldLength &&
        sameNameAt(text, own.nameStart, link_.partnerName, oldLength)) {
        const char before = text.at(link_.partnerName - 1);
        const bool partnerIsEnd = before == '/';
        if ((partnerIsEnd ? own.kind == tagscan::Token::StartTag
                          : own.kind == tagscan::Token::EndTag && before == '<'))
            partnerName = link_.partnerName;
    }
    if (partnerName < 0) {
        const tagscan::Token tag = tagscan::tagAtCaret(text, caret, tagscan::kTagReach);
        if (!tag.isTag() || tag.nameStart != own.nameStart)
            return false;
        // The marks' search has usually found it already; if not, a bounded look now.
        const tagscan::Pair* known = matcher_->knownPair(tag);
        tagscan::PairSearch search(tag);
        if (!known)
            search.step(text, tagscan::kRenameBudget);
        const tagscan::Pair& pair = known ? *known : search.result();
        if (pair.kind != tagscan::Pair::Partner)
            return false;
        partnerName = pair.partner.nameStart;
    }
    link_ = Link();

    const qint64 offset = backspace ? caret - 1 - own.nameStart : caret - own.nameStart;
    const qint64 removed = inserted.isEmpty() ? 1 : 0;
    const QByteArray expected =
        text.bytes(own.nameStart, own.nameEnd).remove(offset, removed).insert(offset, inserted);
    withKey(key, [&] {
        const tagscan::TextView after = editorText(*editor_);
        if (after.bytes(own.nameStart, own.nameStart + nameLength(after, own.nameStart)) !=
            expected)
            return;
        const qint64 delta = qint64(inserted.size()) - removed;
        qint64 partner = partnerName;
        if (partner > own.nameStart)
            partner += delta;
        editor_->SendScintilla(S::SCI_SETTARGETRANGE, static_cast<unsigned long>(partner + offset),
                               static_cast<long>(partner + offset + removed));
        editor_->SendScintilla(S::SCI_REPLACETARGET, static_cast<uintptr_t>(inserted.size()),
                               inserted.constData());
        link_.ownName = partner < own.nameStart ? own.nameStart + delta : own.nameStart;
        link_.partnerName = partner;
    });
    return true;
}

} // namespace assist
