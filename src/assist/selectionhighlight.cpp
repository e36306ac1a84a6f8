// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/selectionhighlight.h"

#include "editor/txtcode.h"
#include "shell/cmdg.h"
#include "text/rtf.h"

namespace assist {

namespace {
const QString kColorTable = QStringLiteral("{\\colortbl");
const QString kColorTableStart = QStringLiteral("{\\colortbl ;"); // 12 characters
const QString kFontTable = QStringLiteral("{\\fonttbl");

// Where a colour table goes in RTF that has no font table: after "{\rtfN".
qsizetype afterRtfHeader(const QString& rtf) {
    if (!rtf.startsWith(QLatin1String("{\\rtf")))
        return 0;
    qsizetype p = 5;
    while (p < rtf.size() && rtf[p].isDigit())
        ++p;
    return p;
}
} // namespace

QString colorTableEntry(int color) {
    const qint64 c = color < 0 ? (color & 0xFFFFFF) : color;
    return QStringLiteral("\\red%1\\green%2\\blue%3")
        .arg(c % 256)
        .arg((c / 256) % 256)
        .arg(c / 65536);
}

int ColorTableIndex(QString& rtf, int color) {
    const QString entry = colorTableEntry(color);
    const qsizetype g = rtf.indexOf(kColorTable);
    if (g < 0) {
        // No colour table yet: a new one right after the font table.
        const qsizetype f = rtf.indexOf(kFontTable);
        const qsizetype e = f < 0 ? -1 : rtf.indexOf(QLatin1String(";}}"), f);
        const qsizetype at = e < 0 ? afterRtfHeader(rtf) : e + 3;
        rtf.insert(at, kColorTableStart + entry + QLatin1String(";}"));
        return 1;
    }
    const qsizetype h = rtf.indexOf(QLatin1String(";}"), g);
    if (h < 0) // an unterminated table: nothing sensible to add to
        return 1;
    const qsizetype bodyStart = g + kColorTableStart.size();
    const qsizetype bodyLength = h - bodyStart;
    int pieces = 0;
    if (bodyLength > 0) {
        const QStringView body = QStringView(rtf).mid(bodyStart, bodyLength);
        qsizetype from = 0;
        for (;;) {
            const qsizetype semi = body.indexOf(u';', from);
            const QStringView piece = body.mid(from, (semi < 0 ? body.size() : semi) - from);
            ++pieces;
            if (piece == entry)
                return pieces; // the first equal entry wins
            if (semi < 0)
                break;
            from = semi + 1;
        }
    }
    rtf.insert(h + 1, entry + QLatin1Char(';'));
    return pieces + 1;
}

QString highlightMarkedRtf(QString rtf, int color) {
    const int n = ColorTableIndex(rtf, color);
    rtf.replace(QLatin1String("\\'9d"), QStringLiteral("\\up1\\highlight%1 ").arg(n));
    rtf.replace(QLatin1String("\\'81"), QLatin1String("\\highlight0\\up0 "));
    return rtf;
}

void HighlightSelection(TxtCode* editor, int color) {
    const int start = editor->SelStart();
    const int length = editor->SelLength();
    if (length == 0) {
        // Nothing to mark. (Markers side by side would switch off a highlight that
        // surrounds the caret; an unused colour entry would not outlive the reload.)
        editor->SetSelStart(start);
        return;
    }
    const int firstLine = editor->firstVisibleLine();
    // One undo step: undoing never brings back the markers.
    editor->beginUndoAction();
    editor->SetSelText(QChar(kHighlightStart) + editor->SelText() + QChar(kHighlightEnd));

    // The document's RTF, written so that \'9d and \'81 stand for these two markers only,
    // never for the same characters elsewhere in the text.
    rtf::WriteOptions marked;
    marked.markerStart = start;
    marked.markerEnd = start + length + 1;
    const QFont font = editor->Font();
    const QString rtfText =
        rtf::write(editor->richDocument(), font.family(), font.pointSizeF(), marked);

    editor->SetTextRTF(highlightMarkedRtf(rtfText, color));
    editor->endUndoAction();
    editor->setFirstVisibleLine(firstLine);
    editor->SetSelStart(start);
}

void PopHighLight_Click(TxtCode* editor, Cmdg* cmdg) {
    cmdg->CancelError = false;
    cmdg->DialogTitle = QStringLiteral("Choose Color...");
    if (!cmdg->ShowColor())
        return; // a cancelled chooser leaves the document alone
    HighlightSelection(editor, cmdg->Color);
}

void PopNoHighLight_Click(TxtCode* editor) {
    HighlightSelection(editor, 16777215);
}

} // namespace assist
