// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editorbytes.h"

#include <QStringDecoder>
#include <QVarLengthArray>
#include <QVector>
#include <algorithm>
#include <utility>
#include <vector>

#include "text/fileform.h"

namespace editorbytes {

namespace {

// What encoding a text needs beyond QString::toUtf8.
struct Scan {
    bool standIns = false;
    bool loneSurrogates = false;
};

Scan scan(QStringView text) {
    Scan s;
    const qsizetype n = text.size();
    const char16_t* t = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = t[i];
        if (c < 0xD800)
            continue;
        if (isStrayByteStandIn(c)) {
            s.standIns = true;
        } else if (QChar::isHighSurrogate(c)) {
            if (i + 1 < n && QChar::isLowSurrogate(t[i + 1]))
                ++i;
            else
                s.loneSurrogates = true;
        } else if (QChar::isLowSurrogate(c)) {
            s.loneSurrogates = true;
        }
    }
    return s;
}

void appendUtf8(QByteArray& out, QStringView text, bool loneSurrogates) {
    if (!loneSurrogates) {
        out += text.toUtf8();
        return;
    }
    QString fixed = text.toString();
    char16_t* t = reinterpret_cast<char16_t*>(fixed.data());
    const qsizetype n = fixed.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (QChar::isHighSurrogate(t[i]) && i + 1 < n && QChar::isLowSurrogate(t[i + 1]))
            ++i;
        else if (QChar::isSurrogate(t[i]))
            t[i] = QChar::ReplacementCharacter;
    }
    out += fixed.toUtf8();
}

// The UTF-16 offsets of the stray bytes among the editor's bytes, in order.
QVector<qsizetype> strayOffsets(QByteArrayView bytes) {
    QVector<qsizetype> at;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype unit = 0;
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            ++i;
            ++unit;
            continue;
        }
        const int len = utf8SequenceLength(p + i, n - i);
        if (len == 0) {
            at.append(unit);
            ++i;
            ++unit;
        } else {
            i += len;
            unit += len == 4 ? 2 : 1;
        }
    }
    return at;
}

} // namespace

namespace {

// Whether the bytes end inside a UTF-8 sequence: a lead byte whose continuation bytes have
// not all come. (A decoder that keeps its state between pieces holds such bytes back
// without calling them an error.)
bool endsInsideSequence(QByteArrayView first, QByteArrayView second) {
    const qsizetype n = first.size() + second.size();
    auto byteAt = [&](qsizetype i) {
        return static_cast<uchar>(i < first.size() ? first[i] : second[i - first.size()]);
    };
    for (qsizetype i = n - 1, seen = 1; i >= 0 && seen <= 4; --i, ++seen) {
        const uchar c = byteAt(i);
        if ((c & 0xC0) == 0x80)
            continue;
        const int needed = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return seen < needed;
    }
    return false;
}

} // namespace

QString decode(QByteArrayView first, QByteArrayView second, bool* stray) {
    const qsizetype n = first.size() + second.size();
    if (n == 0) {
        if (stray)
            *stray = false;
        return QString(qsizetype(0), Qt::Uninitialized);
    }
    // One decoder over both pieces, so that a sequence cut by the join is read whole.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QString text(utf8.requiredSpace(n), Qt::Uninitialized);
    QChar* end = utf8.appendToBuffer(text.data(), first);
    end = utf8.appendToBuffer(end, second);
    const bool invalid = utf8.hasError() || endsInsideSequence(first, second);
    if (stray)
        *stray = invalid;
    if (!invalid) {
        text.truncate(end - text.constData());
        return text;
    }
    if (second.isEmpty())
        return decodeWithStandIns(reinterpret_cast<const uchar*>(first.data()), first.size());
    QByteArray joined;
    joined.reserve(n);
    joined.append(first);
    joined.append(second);
    return decodeWithStandIns(reinterpret_cast<const uchar*>(joined.constData()), n);
}

QByteArray encode(QStringView text) {
    QByteArray out;
    appendUtf8(out, text, scan(text).loneSurrogates);
    return out;
}

bool hasStandIns(QStringView text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return isStrayByteStandIn(c.unicode()); });
}

namespace {

// The places where two texts agree, as a shortest edit script pairs them (Myers' diff),
// for the characters of `b` that `wanted` picks: (index in b, index in a), in order of b.
// Gives up (false) when the texts differ in more than kMaxEdits places or the search
// would cost much more than reading them, so that a text rewritten throughout costs no
// more than a few passes.
template <class Wanted>
bool pairedCharacters(QStringView a, QStringView b, Wanted wanted,
                      std::vector<std::pair<qsizetype, qsizetype>>* pairs) {
    constexpr qsizetype kMaxEdits = 1000;
    const qsizetype n = a.size(), m = b.size();
    qsizetype budget = 16 * (n + m) + (1 << 20);
    const qsizetype maxD = std::min(n + m, kMaxEdits);
    const qsizetype offset = maxD + 1;
    std::vector<qsizetype> v(size_t(2 * maxD + 3), 0);
    // The furthest reaching x of each diagonal before each round, for the way back.
    std::vector<std::vector<qsizetype>> trace;
    qsizetype found = -1;
    for (qsizetype d = 0; d <= maxD && found < 0; ++d) {
        trace.emplace_back(v.begin() + (offset - d - 1), v.begin() + (offset + d + 2));
        for (qsizetype k = -d; k <= d; k += 2) {
            qsizetype x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1]))
                              ? v[offset + k + 1]
                              : v[offset + k - 1] + 1;
            qsizetype y = x - k;
            while (x < n && y < m && a[x] == b[y]) {
                ++x;
                ++y;
            }
            budget -= x - v[offset + k] + 1;
            v[offset + k] = x;
            if (x >= n && y >= m) {
                found = d;
                break;
            }
        }
        if (budget < 0)
            return false;
    }
    if (found < 0)
        return false;
    // Back from the end along the script, noting the pairs on its diagonals.
    qsizetype x = n, y = m;
    auto diagonal = [&](qsizetype toX) {
        while (x > toX) {
            --x;
            --y;
            if (wanted(b[y]))
                pairs->emplace_back(y, x);
        }
    };
    for (qsizetype d = found; d > 0; --d) {
        const std::vector<qsizetype>& w = trace[size_t(d)]; // w[i] is v[i - d - 1]
        auto at = [&](qsizetype k) { return w[size_t(k + d + 1)]; };
        const qsizetype k = x - y;
        const qsizetype prevK = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? k + 1 : k - 1;
        const qsizetype prevX = at(prevK);
        // The diagonal run starts after the round's one step: down (a character of b
        // added) keeps x, right (a character of a removed) moves it by one.
        diagonal(prevK == k + 1 ? prevX : prevX + 1);
        x = prevX;
        y = prevX - prevK;
    }
    diagonal(0);
    std::reverse(pairs->begin(), pairs->end());
    return true;
}

} // namespace

QByteArray encodeOver(QStringView text, QByteArrayView old) {
    const Scan s = scan(text);
    if (!s.standIns)
        return encode(text);
    const QVector<qsizetype> stray = strayOffsets(old);
    if (stray.isEmpty())
        return encode(text);
    const QString before = decode(old);
    auto wasStray = [&](qsizetype at) {
        return std::binary_search(stray.cbegin(), stray.cend(), at);
    };
    auto standIn = [](QChar c) { return isStrayByteStandIn(c.unicode()); };

    // The common start and end of the two texts, which stand where they stood.
    const qsizetype n = text.size(), m = before.size();
    qsizetype head = 0;
    while (head < n && head < m && text[head] == before[head])
        ++head;
    qsizetype tail = 0;
    while (tail < n - head && tail < m - head && text[n - 1 - tail] == before[m - 1 - tail])
        ++tail;

    // Between them, a stand-in that the shortest edit leaves in place is what it was
    // there; each other one takes up, by value and in order, one that the edit took away
    // (a line moved elsewhere), else it is a character entered.
    const QStringView oldMiddle = QStringView(before).mid(head, m - tail - head);
    const QStringView newMiddle = text.mid(head, n - tail - head);
    std::vector<std::pair<qsizetype, qsizetype>> pairs; // (new, old) in the middles
    if (!pairedCharacters(oldMiddle, newMiddle, standIn, &pairs))
        pairs.clear();
    std::vector<qsizetype> kept; // old stand-ins left in place, in order
    kept.reserve(pairs.size());
    for (const auto& p : pairs)
        kept.push_back(p.second);
    QVector<QVarLengthArray<bool, 4>> removed(0x80);
    for (qsizetype j = 0; j < oldMiddle.size(); ++j)
        if (standIn(oldMiddle[j]) && !std::binary_search(kept.cbegin(), kept.cend(), j))
            removed[oldMiddle[j].unicode() - 0xEF80].append(wasStray(head + j));
    QVector<qsizetype> taken(0x80, 0);

    QByteArray out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype run = 0; // start of the text not yet written
    size_t nextPair = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (!isStrayByteStandIn(c))
            continue;
        appendUtf8(out, text.mid(run, i - run), s.loneSurrogates);
        run = i + 1;
        bool byte = false;
        if (i < head) {
            byte = wasStray(i);
        } else if (i >= n - tail) {
            byte = wasStray(i - n + m);
        } else {
            while (nextPair < pairs.size() && pairs[nextPair].first < i - head)
                ++nextPair;
            if (nextPair < pairs.size() && pairs[nextPair].first == i - head) {
                byte = wasStray(head + pairs[nextPair].second);
            } else {
                auto& pending = removed[c - 0xEF80];
                qsizetype& next = taken[c - 0xEF80];
                if (next < pending.size())
                    byte = pending[next++];
            }
        }
        if (byte)
            out.append(char(c - kStrayByteBase));
        else
            appendUtf8(out, text.mid(i, 1), false);
    }
    appendUtf8(out, text.mid(run), s.loneSurrogates);
    return out;
}

} // namespace editorbytes
