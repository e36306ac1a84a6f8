// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/highlighter.h"

#include <QApplication>
#include <QMainWindow>

#include "assist/syntaxranges.h"
#include "editor/txtcode.h"
#include "shell/appcontext.h"
#include "shell/modaldialogs.h"

namespace assist {

namespace {

// The hourglass while a command runs; the pointer comes back however the command ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

void colorhtml(const AppContext& ctx) {
    TxtCode& editor = *ctx.txtCode;
    const int base = editor.SelStart();
    if (editor.SelLength() < 1) {
        dialogs().message(ctx.frmMain, QStringLiteral("No text selected"), programTitle(),
                          Dialogs::Buttons::Ok, Dialogs::Icon::None);
        return;
    }
    QVector<ColorSpan> spans;
    ColourStep last;
    bool any = false;
    {
        // The copy of the text, then the step list, go as soon as they are used, so that
        // a large document never holds them and the colours all at once.
        QVector<ColourStep> steps;
        int length = 0;
        {
            const QString text = editor.SelText();
            steps = colorhtmlSteps(text);
            length = int(text.size());
        }
        spans = flattenSteps(steps, length, *ctx.syntaxColours, base);
        any = !steps.isEmpty();
        if (any)
            last = steps.constLast();
    }
    // The colours of every step land in one batch, without a repaint per tag.
    editor.applyColors(spans);
    spans = QVector<ColorSpan>();
    if (any) {
        editor.SetSelStart(base + last.start);
        editor.SetSelLength(last.length);
    }
}

void mnuHighlight_Click(const AppContext& ctx) {
    WaitCursor hourglass;
    TxtCode& editor = *ctx.txtCode;
    editor.SetSelStart(0);
    editor.SetSelLength(editor.TextLength());
    colorhtml(ctx);
    editor.SetSelStart(1);
}

void mnuUnHighlight_Click(const AppContext& ctx) {
    TxtCode& editor = *ctx.txtCode;
    const QString text = editor.Text();
    // A plain text that happens to start like RTF is still plain text: reload its
    // characters as they are instead of reading them as rich text.
    if (text.startsWith(QLatin1String("{\\rtf")))
        editor.SetText(text);
    else
        editor.SetTextRTF(text);
}

} // namespace assist
