// SPDX-License-Identifier: GPL-3.0-or-later
// The editor control's position mapping on arbitrary text: for every caret position the
// UTF-16 offset survives the trip to Scintilla's bytes and back, and a selection between
// two positions reads back exactly that slice of Text.
#include <QApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "editor/txtcode.h"

namespace {
TxtCode* editor() {
    static int argc = 1;
    static char name[] = "editor_positions";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    static TxtCode ed;
    return &ed;
}

bool caretPosition(const QString& t, int p) {
    if (p > 0 && p < t.size() && t[p].isLowSurrogate() && t[p - 1].isHighSurrogate())
        return false;
    return !(p > 0 && p < t.size() && t[p - 1] == u'\r' && t[p] == u'\n');
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    TxtCode* ed = editor();
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2));
    ed->SetText(text);
    if (ed->Text() != text || ed->TextLength() != text.size())
        std::abort();
    for (int p = 0; p <= text.size(); ++p) {
        if (caretPosition(text, p) && ed->toCharPos(ed->toBytePos(p)) != p)
            std::abort();
    }
    const int a = data[0] % (text.size() + 1), b = data[1] % (text.size() + 1);
    const int from = qMin(a, b), to = qMax(a, b);
    if (caretPosition(text, from) && caretPosition(text, to)) {
        ed->SetSelStart(from);
        ed->SetSelLength(to - from);
        if (ed->SelText() != text.mid(from, to - from))
            std::abort();
        ed->SetSelText(QStringLiteral("<b>"));
        if (ed->Text() != text.left(from) + QStringLiteral("<b>") + text.mid(to))
            std::abort();
    }
    return 0;
}
