// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

struct AppContext;

namespace assist {

// Lines of a text: one more than its carriage returns (the line feed after one is not
// looked at).
qint64 countLines(QStringView text);
// Words of a text: the pieces between blanks (character 32 only) that isWord accepts.
qint64 countWords(QStringView text);
// True when a piece starts with an ASCII letter; the rest of it is not looked at.
bool isWord(QStringView piece);

QString lineCountMessage(qint64 lines);
QString wordCountMessage(qint64 words);

// File > Count > Line Count and Word Count: count the whole text and say how many.
void mnuLine_Click(const AppContext& ctx);
void mnuWord_Click(const AppContext& ctx);

} // namespace assist
