// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/gotoline.h"

#include <cmath>

#include "editor/txtcode.h"

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

double numericPrefix(const QString& text) {
    const int n = text.size();
    int i = 0;
    while (i < n && text[i].isSpace())
        ++i;
    const int begin = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    int digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        int j = i + 1;
        int fraction = 0;
        while (j < n && isDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0.0;
    // An exponent counts only when at least one digit follows it.
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    bool ok = false;
    const double value = QStringView(text).mid(begin, i - begin).toDouble(&ok);
    if (ok)
        return value;
    // Out of range: the number is still there, just too large to hold.
    return text[begin] == QLatin1Char('-') ? -HUGE_VAL : HUGE_VAL;
}

int targetLine(double n, int lineCount) {
    if (!(n >= 1.0) || n > double(lineCount) || std::floor(n) != n)
        return -1;
    return int(n) - 1;
}

bool goToLine(TxtCode* editor, double n) {
    const int line = targetLine(n, editor->LineCount());
    if (line < 0)
        return false;
    const int start = editor->LineStart(line);
    if (start < 0)
        return false;
    editor->SetSelStart(start);
    return true;
}
