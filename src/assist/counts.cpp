// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/counts.h"

#include <QMainWindow>
#include <algorithm>

#include "editor/txtcode.h"
#include "shell/appcontext.h"
#include "shell/modaldialogs.h"

namespace assist {

qint64 countLines(QStringView text) {
    return 1 + qint64(std::count(text.begin(), text.end(), QChar(u'\r')));
}

bool isWord(QStringView piece) {
    if (piece.isEmpty())
        return false;
    const char16_t c = piece.front().unicode();
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

qint64 countWords(QStringView text) {
    qint64 words = 0;
    if (text.isEmpty())
        return words;
    qsizetype pieceStart = 0;
    for (;;) {
        const qsizetype blank = text.indexOf(QChar(u' '), pieceStart);
        const qsizetype pieceEnd = blank < 0 ? text.size() : blank;
        if (isWord(text.mid(pieceStart, pieceEnd - pieceStart)))
            ++words;
        if (blank < 0)
            return words;
        pieceStart = blank + 1;
    }
}

QString lineCountMessage(qint64 lines) {
    return QStringLiteral("Total number of line(s) in Code: ") + QString::number(lines);
}

QString wordCountMessage(qint64 words) {
    return QStringLiteral("Total number of word(s) in Code: ") + QString::number(words);
}

void mnuLine_Click(const AppContext& ctx) {
    const qint64 lines = countLines(ctx.txtCode->Text());
    dialogs().message(ctx.frmMain, lineCountMessage(lines), QStringLiteral("Line Count"),
                      Dialogs::Buttons::Ok, Dialogs::Icon::Information);
}

void mnuWord_Click(const AppContext& ctx) {
    const qint64 words = countWords(ctx.txtCode->Text());
    dialogs().message(ctx.frmMain, wordCountMessage(words), QStringLiteral("Word Count"),
                      Dialogs::Buttons::Ok, Dialogs::Icon::Information);
}

} // namespace assist
