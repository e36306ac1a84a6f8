// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qsci/qsciscintillabase.h>

#include "assist/tagscan.h"

namespace assist {

// The editor's bytes as the tag scanner reads them: the two stretches of its buffer around
// the gap, taken without moving the gap (which would copy the document). Valid until the
// next change of the text.
inline tagscan::TextView editorText(const QsciScintillaBase& editor) {
    tagscan::TextView v;
    const qint64 length = editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const qint64 gap = qBound(
        qint64(0), qint64(editor.SendScintilla(QsciScintillaBase::SCI_GETGAPPOSITION)), length);
    if (gap > 0) {
        v.head = static_cast<const char*>(reinterpret_cast<const void*>(editor.SendScintilla(
            QsciScintillaBase::SCI_GETRANGEPOINTER, 0UL, static_cast<long>(gap))));
        v.headLength = gap;
    }
    if (length > gap) {
        v.tail = static_cast<const char*>(reinterpret_cast<const void*>(editor.SendScintilla(
            QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(gap),
            static_cast<long>(length - gap))));
        v.tailLength = length - gap;
    }
    return v;
}

} // namespace assist
