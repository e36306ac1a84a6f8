// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/filenames.h"

#include <cstring>

#include "text/fileform.h"

namespace {

// A byte that is not part of valid UTF-8 (always 80..FF) stands as this lone surrogate
// plus (byte - 80): U+DC80..U+DCFF.
constexpr char16_t kEscapedByteBase = 0xDC00;

bool isEscapedByte(const QChar* s, qsizetype i) {
    const char16_t c = s[i].unicode();
    // The second half of a valid pair is a character, not an escaped byte.
    return c >= 0xDC80 && c <= 0xDCFF && !(i > 0 && s[i - 1].isHighSurrogate());
}

// The character of the valid UTF-8 sequence of `length` bytes at p.
char32_t sequenceValue(const uchar* p, int length) {
    if (length == 1)
        return p[0];
    char32_t v = p[0] & (0x7F >> length);
    for (int k = 1; k < length; ++k)
        v = v << 6 | (p[k] & 0x3F);
    return v;
}

void appendCharacter(QString& out, char32_t v) {
    if (v >= 0x10000) {
        out += QChar(QChar::highSurrogate(v));
        out += QChar(QChar::lowSurrogate(v));
    } else {
        out += QChar(char16_t(v));
    }
}

// Characters that reorder text on screen or end a line without being a control character.
bool isHiddenFormatting(char32_t c) {
    switch (c) {
    case 0x061C: // Arabic letter mark
    case 0x200E: // left-to-right mark
    case 0x200F: // right-to-left mark
    case 0x2028: // line separator
    case 0x2029: // paragraph separator
        return true;
    default:
        return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
    }
}

void appendOctal(QString& out, uchar b) {
    out += QLatin1Char('\\');
    out += QLatin1Char(char('0' + (b >> 6)));
    out += QLatin1Char(char('0' + ((b >> 3) & 7)));
    out += QLatin1Char(char('0' + (b & 7)));
}

} // namespace

QString decodeFileName(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    QString out;
    out.reserve(n);
    for (qsizetype i = 0; i < n;) {
        const int len = utf8SequenceLength(p + i, n - i);
        if (len == 0) {
            out += QChar(char16_t(kEscapedByteBase + p[i]));
            ++i;
            continue;
        }
        appendCharacter(out, sequenceValue(p + i, len));
        i += len;
    }
    return out;
}

QString decodeFileName(const char* bytes) {
    return decodeFileName(QByteArray::fromRawData(bytes, qsizetype(std::strlen(bytes))));
}

QByteArray encodeFileName(const QString& name) {
    const QChar* s = name.constData();
    const qsizetype n = name.size();
    QByteArray out;
    out.reserve(n);
    qsizetype run = 0; // start of the text not yet encoded
    for (qsizetype i = 0; i < n; ++i) {
        if (!isEscapedByte(s, i))
            continue;
        out += QStringView(s + run, i - run).toUtf8();
        out += char(s[i].unicode() - kEscapedByteBase);
        run = i + 1;
    }
    out += QStringView(s + run, n - run).toUtf8();
    return out;
}

QString quotedFileName(const QString& name) {
    const QByteArray bytes = encodeFileName(name);
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    QString quoted = QStringLiteral("\"");
    bool needed = name.startsWith(QLatin1Char('"'));
    for (qsizetype i = 0; i < n;) {
        const uchar b = p[i];
        const int len = utf8SequenceLength(p + i, n - i);
        if (len == 0) {
            appendOctal(quoted, b);
            needed = true;
            ++i;
            continue;
        }
        if (len == 1) {
            static const char kLetters[] = "abtnvfr"; // \a (7) to \r (13)
            if (b >= 7 && b <= 13) {
                quoted += QLatin1Char('\\');
                quoted += QLatin1Char(kLetters[b - 7]);
                needed = true;
            } else if (b < 0x20 || b == 0x7F) {
                appendOctal(quoted, b);
                needed = true;
            } else if (b == '"' || b == '\\') {
                quoted += QLatin1Char('\\');
                quoted += QLatin1Char(char(b));
            } else {
                quoted += QLatin1Char(char(b));
            }
            ++i;
            continue;
        }
        const char32_t v = sequenceValue(p + i, len);
        // C1 controls, separators and direction marks, byte by byte.
        if ((v >= 0x80 && v <= 0x9F) || isHiddenFormatting(v)) {
            for (int k = 0; k < len; ++k)
                appendOctal(quoted, p[i + k]);
            needed = true;
        } else {
            appendCharacter(quoted, v);
        }
        i += len;
    }
    if (!needed)
        return name;
    return quoted + QLatin1Char('"');
}
