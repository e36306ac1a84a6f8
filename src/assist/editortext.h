// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assist/tagscan.h"
#include "editor/editorbuffer.h"

namespace assist {

// The editor's bytes as the tag scanner reads them: the two stretches of its buffer around
// the gap, taken without moving the gap (which would copy the document). Valid until the
// next change of the text or move of the gap.
inline tagscan::TextView editorText(const QsciScintillaBase& editor) {
    const EditorBuffer buffer(editor);
    const auto [head, tail] = buffer.pieces(0, buffer.length());
    tagscan::TextView v;
    v.head = head.data();
    v.headLength = head.size();
    v.tail = tail.data();
    v.tailLength = tail.size();
    return v;
}

} // namespace assist
