// SPDX-License-Identifier: GPL-3.0-or-later
#include "validator/checks.h"

#include <QChar>
#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace validator {

namespace {

const QString kFindingEnd = QStringLiteral("\r\n\r\n");

// Progress calls per scan, at most (plus the first one at 0).
constexpr qsizetype kProgressSteps = 256;

// The lower case of one character, as the scan compares them (ASCII fast path).
inline char16_t fold(char16_t c) {
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return char16_t(QChar::toLower(char32_t(c)));
}

// True when the `len` characters at `s` lower-case to `name` (ASCII, lower case).
inline bool nameAt(const char16_t* s, const char* name, int len) {
    for (int k = 0; k < len; ++k) {
        if (fold(s[k]) != char16_t(name[k]))
            return false;
    }
    return true;
}

// Walks the positions of `text` in strides, reporting progress after each stride.
// `stride(a, b)` handles the 0-based positions a..b-1.
template <class Stride>
void scanInStrides(QStringView text, const Progress& progress, Stride&& stride) {
    const qsizetype n = text.size();
    if (progress)
        progress(n, 0);
    const qsizetype step = std::max<qsizetype>(1, (n + kProgressSteps - 1) / kProgressSteps);
    for (qsizetype a = 0; a < n;) {
        const qsizetype b = std::min(n, a + step);
        stride(a, b);
        if (progress)
            progress(n, b);
        a = b;
    }
}

#ifdef __SSE2__
// One bit per character of the 16 at `s` that equals the needle.
inline unsigned matchMask16(const char16_t* s, __m128i needle) {
    const __m128i lo =
        _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), needle);
    const __m128i hi =
        _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 8)), needle);
    return unsigned(_mm_movemask_epi8(_mm_packs_epi16(lo, hi)));
}
#endif

// Calls `at(p)` for every 0-based position a <= p < b of `s` that holds `c`, in order.
template <class At>
inline void forEachOf(const char16_t* s, qsizetype a, qsizetype b, char16_t c, At&& at) {
    qsizetype i = a;
#ifdef __SSE2__
    const __m128i needle = _mm_set1_epi16(short(c));
    for (; i + 16 <= b; i += 16) {
        for (unsigned mask = matchMask16(s + i, needle); mask != 0; mask &= mask - 1)
            at(i + __builtin_ctz(mask));
    }
#endif
    for (; i < b; ++i) {
        if (s[i] == c)
            at(i);
    }
}

// Adds to `countC` and `countD` how many of the positions a <= p < b of `s` hold `c` and `d`.
inline void countBoth(const char16_t* s, qsizetype a, qsizetype b, char16_t c, char16_t d,
                      qsizetype& countC, qsizetype& countD) {
    qsizetype i = a;
#ifdef __SSE2__
    const __m128i needleC = _mm_set1_epi16(short(c));
    const __m128i needleD = _mm_set1_epi16(short(d));
    for (; i + 16 <= b; i += 16) {
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 8));
        countC += __builtin_popcount(unsigned(_mm_movemask_epi8(
            _mm_packs_epi16(_mm_cmpeq_epi16(lo, needleC), _mm_cmpeq_epi16(hi, needleC)))));
        countD += __builtin_popcount(unsigned(_mm_movemask_epi8(
            _mm_packs_epi16(_mm_cmpeq_epi16(lo, needleD), _mm_cmpeq_epi16(hi, needleD)))));
    }
#endif
    for (; i < b; ++i) {
        countC += s[i] == c;
        countD += s[i] == d;
    }
}

// Calls `at(p)` for every 0-based position p of `text` that holds `c`, in increasing order.
template <class At> void scanFor(QStringView text, char16_t c, const Progress& progress, At&& at) {
    const char16_t* s = text.utf16();
    scanInStrides(text, progress, [&](qsizetype a, qsizetype b) { forEachOf(s, a, b, c, at); });
}

struct PairCounts {
    qsizetype open = 0;
    qsizetype close = 0;
};

// Counts, for elements whose names all have `len` letters, the opening tags ("<e " and
// "<e>") and the closing tags ("</e>") in one pass.
template <std::size_t K>
std::array<PairCounts, K> countPairs(QStringView text, const std::array<const char*, K>& names,
                                     int len, const Progress& progress) {
    std::array<PairCounts, K> counts{};
    const char16_t* s = text.utf16();
    const qsizetype n = text.size();
    scanFor(text, u'<', progress, [&](qsizetype p) {
        if (p + 1 < n && s[p + 1] == u'/') {
            if (p + len + 3 > n || s[p + len + 2] != u'>')
                return;
            for (std::size_t e = 0; e < K; ++e) {
                if (nameAt(s + p + 2, names[e], len)) {
                    ++counts[e].close;
                    return;
                }
            }
        } else {
            if (p + len + 2 > n)
                return;
            const char16_t after = s[p + len + 1];
            if (after != u' ' && after != u'>')
                return;
            for (std::size_t e = 0; e < K; ++e) {
                if (nameAt(s + p + 1, names[e], len)) {
                    ++counts[e].open;
                    return;
                }
            }
        }
    });
    return counts;
}

template <std::size_t K>
QString pairCheck(QStringView text, const std::array<const char*, K>& names,
                  const Progress& progress) {
    const int len = int(qstrlen(names[0]));
    const auto counts = countPairs(text, names, len, progress);
    QString out;
    for (std::size_t e = 0; e < K; ++e) {
        const QString name = QLatin1String(names[e]);
        const PairCounts& c = counts[e];
        if (c.open < c.close) {
            out += QStringLiteral("I found ") + QString::number(c.close - c.open) +
                   QStringLiteral(" </") + name +
                   QStringLiteral("> close tag(s) without an open tag <") + name +
                   QLatin1Char('>') + kFindingEnd;
        } else if (c.open > c.close) {
            out += QStringLiteral("I found ") + QString::number(c.open - c.close) +
                   QStringLiteral(" <") + name +
                   QStringLiteral("> open tag(s) without a close tag </") + name +
                   QLatin1Char('>') + kFindingEnd;
        }
    }
    return out;
}

// The html, head, title and body checks: exactly one opening and one closing tag.
QString structureCheck(QStringView text, const char* element, const Progress& progress) {
    const std::array<const char*, 1> names{element};
    const PairCounts c = countPairs(text, names, int(qstrlen(element)), progress)[0];
    const QString e = QLatin1String(element);
    QString message;
    if (c.open == 1 && c.close == 1)
        return message;
    if (c.open == 1 && c.close == 0)
        message = QStringLiteral("</") + e + QStringLiteral("> close tag is missing....");
    else if (c.open == 0 && c.close == 1)
        message = QStringLiteral("<") + e + QStringLiteral("> open tag is missing....");
    else if (c.open == 0 && c.close == 0)
        message = QStringLiteral("<") + e + QStringLiteral("></") + e +
                  QStringLiteral("> open and close tags are missing...");
    else
        message = QStringLiteral("?\?<") + e + QStringLiteral("></") + e +
                  QStringLiteral("> You have ") + QString::number(c.open) +
                  QStringLiteral(" open tag(s) and ") + QString::number(c.close) +
                  QStringLiteral(" close tag(s).Please insert a single <") + e +
                  QStringLiteral("></") + e + QStringLiteral("> nest...");
    return message + kFindingEnd;
}

} // namespace

QString cTag(QStringView text, const Progress& progress) {
    const char16_t* s = text.utf16();
    qsizetype less = 0;
    qsizetype greater = 0;
    scanInStrides(text, progress,
                  [&](qsizetype a, qsizetype b) { countBoth(s, a, b, u'<', u'>', less, greater); });
    if (less == greater)
        return QString();
    return QStringLiteral("Difference: You have ") + QString::number(less) +
           QStringLiteral(" < sign(s) and ") + QString::number(greater) +
           QStringLiteral(" > sign(s)...you either forgot to enclose your tags between <...> or "
                          "you're trying to enter a text with the < or > signs instead of the "
                          "special characters &lt;(less then) and &gt;(greater then)...") +
           kFindingEnd;
}

QString cHTML(QStringView text, const Progress& progress) {
    return structureCheck(text, "html", progress);
}
QString cHEAD(QStringView text, const Progress& progress) {
    return structureCheck(text, "head", progress);
}
QString cTITLE(QStringView text, const Progress& progress) {
    return structureCheck(text, "title", progress);
}
QString cBODY(QStringView text, const Progress& progress) {
    return structureCheck(text, "body", progress);
}

QString cOne(QStringView text, const Progress& progress) {
    static const std::array<const char*, 6> names{"p", "a", "b", "i", "s", "u"};
    return pairCheck(text, names, progress);
}
QString cTwo(QStringView text, const Progress& progress) {
    static const std::array<const char*, 15> names{"dl", "em", "h1", "h2", "h3", "h4", "h5", "h6",
                                                   "ol", "td", "th", "tr", "ul", "tt", "dd"};
    return pairCheck(text, names, progress);
}
QString cThree(QStringView text, const Progress& progress) {
    static const std::array<const char*, 9> names{"dfn", "dir", "div", "map", "pre",
                                                  "var", "sub", "sup", "xmp"};
    return pairCheck(text, names, progress);
}
QString cFour(QStringView text, const Progress& progress) {
    static const std::array<const char*, 6> names{"cite", "code", "font", "form", "samp", "span"};
    return pairCheck(text, names, progress);
}
QString cFive(QStringView text, const Progress& progress) {
    static const std::array<const char*, 4> names{"embed", "small", "style", "table"};
    return pairCheck(text, names, progress);
}
QString cSix(QStringView text, const Progress& progress) {
    static const std::array<const char*, 6> names{"object", "applet", "center",
                                                  "script", "strong", "strike"};
    return pairCheck(text, names, progress);
}
QString cSeven(QStringView text, const Progress& progress) {
    static const std::array<const char*, 3> names{"address", "noembed", "caption"};
    return pairCheck(text, names, progress);
}
QString cEight(QStringView text, const Progress& progress) {
    static const std::array<const char*, 4> names{"noframes", "noscript", "textarea", "frameset"};
    return pairCheck(text, names, progress);
}
QString cTen(QStringView text, const Progress& progress) {
    static const std::array<const char*, 1> names{"blockquote"};
    return pairCheck(text, names, progress);
}

QString cCom(QStringView text, const Progress& progress) {
    const char16_t* s = text.utf16();
    const qsizetype n = text.size();
    qsizetype open = 0;
    qsizetype close = 0;
    // Both markers hold a hyphen: "<!--" is recognised by its first one, "-->" by its own.
    scanFor(text, u'-', progress, [&](qsizetype q) {
        if (q + 1 >= n || s[q + 1] != u'-')
            return;
        if (q >= 2 && s[q - 2] == u'<' && s[q - 1] == u'!')
            ++open;
        if (q + 2 < n && s[q + 2] == u'>')
            ++close;
    });
    if (open < close)
        return QStringLiteral("I found ") + QString::number(close - open) +
               QStringLiteral(" --> (comment)close tag(s) without an open tag <!--") + kFindingEnd;
    if (open > close)
        return QStringLiteral("I found ") + QString::number(open - close) +
               QStringLiteral(" <!-- (comment)open tag(s) without a close tag -->") + kFindingEnd;
    return QString();
}

const std::array<CheckStep, 15>& validationChecks() {
    static const std::array<CheckStep, 15> steps{{
        {"Scanning... <> Tag", &cTag},
        {"Scanning... HTML Tags", &cHTML},
        {"Scanning... HEAD Tags", &cHEAD},
        {"Scanning... TITLE Tags", &cTITLE},
        {"Scanning... BODY Tags", &cBODY},
        {"Scanning... 1 Letter Tags", &cOne},
        {"Scanning... 2 Letter Tags", &cTwo},
        {"Scanning... 3 Letter Tags", &cThree},
        {"Scanning... 4 Letter Tags", &cFour},
        {"Scanning... 5 Letter Tags", &cFive},
        {"Scanning... 6 Letter Tags", &cSix},
        {"Scanning... 7 Letter Tags", &cSeven},
        {"Scanning... 8 Letter Tags", &cEight},
        {"Scanning... 10 Letter Tags", &cTen},
        {"Scanning... Comment Tags", &cCom},
    }};
    return steps;
}

QString runAllChecks(QStringView text) {
    QString report;
    for (const CheckStep& step : validationChecks())
        report += step.check(text, Progress());
    return report;
}

} // namespace validator
