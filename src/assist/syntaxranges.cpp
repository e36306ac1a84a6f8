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

QVector<ColourStep> colorhtmlSteps(QStringView text) {
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
