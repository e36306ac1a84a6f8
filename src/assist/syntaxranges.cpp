// SPDX-License-Identifier: GPL-3.0-or-later
#include "assist/syntaxranges.h"

#include <QByteArray>
#include <QRegularExpression>

namespace assist {

namespace {

const QString kWordClass = QStringLiteral("A-Za-z0-9_");
const QString kDigitClass = QStringLiteral("0-9");
// Line terminators of the dialect: '.' matches none of them.
const QString kAnyButLineBreak = QStringLiteral("[^\\n\\r\\x{2028}\\x{2029}]");

QRegularExpression matcher(const QString& pattern) {
    QRegularExpression re(ecmaPatternForPcre(pattern));
    Q_ASSERT_X(re.isValid(), "matcher", qPrintable(re.errorString()));
    re.optimize();
    return re;
}

} // namespace

QString ecmaPatternForPcre(const QString& pattern) {
    QString out;
    out.reserve(pattern.size() * 2);
    bool inClass = false;
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            const QChar e = pattern[++i];
            if (e == QLatin1Char('w'))
                out += inClass ? kWordClass : QLatin1Char('[') + kWordClass + QLatin1Char(']');
            else if (e == QLatin1Char('d'))
                out += inClass ? kDigitClass : QLatin1Char('[') + kDigitClass + QLatin1Char(']');
            else if (e == QLatin1Char('W') && !inClass)
                out += QStringLiteral("[^") + kWordClass + QLatin1Char(']');
            else if (e == QLatin1Char('D') && !inClass)
                out += QStringLiteral("[^") + kDigitClass + QLatin1Char(']');
            else
                out += QLatin1Char('\\') + e;
            continue;
        }
        if (inClass) {
            if (c == QLatin1Char(']'))
                inClass = false;
            out += c;
        } else if (c == QLatin1Char('[')) {
            inClass = true;
            out += c;
        } else if (c == QLatin1Char('.')) {
            out += kAnyButLineBreak;
        } else {
            out += c;
        }
    }
    return out;
}

QVector<ColourStep> colorhtmlStepsByPattern(QStringView text) {
    static const QRegularExpression tagMatcher = matcher(kTagPattern);
    static const QRegularExpression attributeMatcher = matcher(kAttributePattern);

    QVector<ColourStep> steps;
    QRegularExpressionMatchIterator tags = tagMatcher.globalMatch(text);
    while (tags.hasNext()) {
        const QRegularExpressionMatch m = tags.next();
        const int tagStart = int(m.capturedStart(0));
        const QStringView tag = m.capturedView(0);
        if (tag.isEmpty())
            continue;
        steps.append({tagStart, int(tag.size()), 0});
        if (m.capturedView(1) == QLatin1String("!")) {
            steps.append({tagStart, int(tag.size()), 3});
            continue;
        }
        if (m.capturedView(2) != QLatin1String(" "))
            continue;
        QRegularExpressionMatchIterator attributes = attributeMatcher.globalMatch(tag);
        while (attributes.hasNext()) {
            const QRegularExpressionMatch a = attributes.next();
            if (a.capturedLength(0) == 0)
                continue;
            const int start = tagStart + int(a.capturedStart(0));
            steps.append({start, int(a.capturedLength(0)), 2});
            steps.append({start, int(a.capturedLength(1)), 1});
        }
    }
    return steps;
}

namespace {

bool isLineBreak(char16_t c) {
    return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029;
}
bool isWordChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_';
}
bool isDigitChar(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool hasUnpairedSurrogate(QStringView text) {
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (!QChar::isSurrogate(c))
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i;
        else
            return true;
    }
    return false;
}

// The attribute pattern over one tag, as the engine finds its matches left to right:
// a word, blanks, "=", blanks, then digits or a non-empty double-quoted value.
void scanAttributes(QStringView tag, int tagStart, QVector<ColourStep>& steps) {
    const qsizetype n = tag.size();
    qsizetype p = 0;
    while (p < n) {
        if (!isWordChar(tag[p].unicode())) {
            ++p;
            continue;
        }
        // Every start inside one word reaches the same end of word, so all of them
        // fail or the first succeeds.
        qsizetype q = p;
        while (q < n && isWordChar(tag[q].unicode()))
            ++q;
        qsizetype r = q;
        while (r < n && tag[r] == u' ')
            ++r;
        if (r >= n || tag[r] != u'=') {
            p = q;
            continue;
        }
        const qsizetype nameEnd = r + 1;
        qsizetype s = nameEnd;
        while (s < n && tag[s] == u' ')
            ++s;
        qsizetype end = -1;
        if (s < n && isDigitChar(tag[s].unicode())) {
            end = s + 1;
            while (end < n && isDigitChar(tag[end].unicode()))
                ++end;
        } else if (s + 1 < n && tag[s] == u'"' && tag[s + 1] != u'"') {
            const qsizetype close = tag.indexOf(u'"', s + 2);
            if (close >= 0)
                end = close + 1;
        }
        if (end < 0) {
            p = q;
            continue;
        }
        steps.append({tagStart + int(p), int(end - p), 2});
        steps.append({tagStart + int(p), int(nameEnd - p), 1});
        p = end;
    }
}

} // namespace

// A scanner that finds exactly the matches of the two patterns. A tag starts at a "<"
// followed by a character that is not a line break and ends at the first ">" after that
// character; its group 2 is a blank when a blank comes before that ">" (after the first
// character). Without such a ">" no later "<" has one either.
QVector<ColourStep> colorhtmlSteps(QStringView text) {
    if (hasUnpairedSurrogate(text))
        return colorhtmlStepsByPattern(text);
    QVector<ColourStep> steps;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while ((i = text.indexOf(u'<', i)) >= 0) {
        if (i + 1 >= n)
            break;
        const char16_t first = text[i + 1].unicode();
        if (isLineBreak(first)) {
            ++i;
            continue;
        }
        const qsizetype close = text.indexOf(u'>', i + 2);
        if (close < 0)
            break;
        const int tagStart = int(i);
        const int tagLength = int(close + 1 - i);
        steps.append({tagStart, tagLength, 0});
        if (first == u'!') {
            steps.append({tagStart, tagLength, 3});
        } else {
            const QStringView inner = text.mid(i + 2, close - (i + 2));
            if (inner.contains(u' '))
                scanAttributes(text.mid(i, tagLength), tagStart, steps);
        }
        i = close + 1;
    }
    return steps;
}

QVector<ColorSpan> flattenSteps(const QVector<ColourStep>& steps, int textLength,
                                const SyntaxColourTable& colours, int base) {
    QVector<ColorSpan> spans;
    if (steps.isEmpty() || textLength <= 0)
        return spans;
    // Paint the table positions (1 + index; 0 untouched) onto the stretch the steps
    // cover, then read the runs back.
    int lo = textLength, hi = 0;
    for (const ColourStep& s : steps) {
        const int a = qBound(0, s.start, textLength);
        const int b = qBound(0, s.start + s.length, textLength);
        if (b > a) {
            lo = qMin(lo, a);
            hi = qMax(hi, b);
        }
    }
    if (hi <= lo)
        return spans;
    QByteArray paint(hi - lo, '\0');
    for (const ColourStep& s : steps) {
        const int a = qBound(lo, s.start, hi);
        const int b = qBound(lo, s.start + s.length, hi);
        if (b > a)
            std::fill(paint.begin() + (a - lo), paint.begin() + (b - lo), char(1 + (s.colour & 3)));
    }
    const char* p = paint.constData();
    int i = 0;
    const int n = int(paint.size());
    while (i < n) {
        if (p[i] == 0) {
            ++i;
            continue;
        }
        const BgrColor colour = colours[size_t(p[i] - 1)];
        int j = i + 1;
        // Neighbours that end up in the same colour make one span.
        while (j < n && p[j] != 0 && colours[size_t(p[j] - 1)] == colour)
            ++j;
        spans.append({base + lo + i, j - i, colour});
        i = j;
    }
    return spans;
}

} // namespace assist
