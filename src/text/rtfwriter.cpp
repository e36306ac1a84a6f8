// SPDX-License-Identifier: GPL-3.0-or-later
// The rich-text writer: a document and its formats as RTF.
#include "text/rtf.h"

#include <QHash>
#include <QVector>

#include <algorithm>
#include <cstring>

#include "text/codepage.h"

namespace {

using codepage::cp1252Byte;

// Font names go into the table without the characters that end or open RTF syntax.
QString cleanFontName(const QString& name) {
    QString out;
    for (QChar c : name)
        if (c != u';' && c != u'{' && c != u'}' && c != u'\\' && c.unicode() >= 0x20)
            out += c;
    return out.trimmed().isEmpty() ? QStringLiteral("Arial") : out.trimmed();
}

class Writer {
public:
    Writer(const RichDocument& doc, const rtf::WriteOptions& options)
        : doc_(doc), text_(doc.text), options_(options) {}

    QString run(const QString& defaultFont, double defaultSize);

private:
    struct Segment {
        int start;
        int end;
        const CharFormat* format;
    };

    void collectSegments();
    void collectTables();
    void switchTo(const CharFormat& f);
    void writeText(int from, int to);
    void writeChar(int i, char16_t c);
    void hex(int byte);
    void fontName(const QString& name);
    void word(const char* w) { out_ += QLatin1String(w); }
    void word(const char* w, long long n) {
        out_ += QLatin1String(w);
        out_ += QString::number(n);
    }
    int fontNumber(const QString& font) const { return font.isEmpty() ? 0 : fonts_.value(font); }
    int colourNumber(BgrColor c) const { return colours_.value(c & 0xFFFFFF); }

    const RichDocument& doc_;
    const QString& text_;
    rtf::WriteOptions options_;
    QVector<Segment> segments_;
    QStringList fontList_;
    QHash<QString, int> fonts_;
    QVector<BgrColor> colourList_;
    QHash<BgrColor, int> colours_;
    CharFormat cur_;
    QString out_;
};

void Writer::collectSegments() {
    static const CharFormat plain;
    const int n = int(text_.size());
    int pos = 0;
    auto add = [this](int a, int b, const CharFormat* f) {
        if (b <= a)
            return;
        if (!segments_.isEmpty() && segments_.last().end == a && *segments_.last().format == *f)
            segments_.last().end = b;
        else
            segments_.append({a, b, f});
    };
    for (const FormatRun& r : doc_.runs) {
        if (r.length <= 0 || r.start < pos || r.start >= n)
            continue;
        add(pos, r.start, &plain);
        const int end = int(std::min<qint64>(qint64(r.start) + r.length, n));
        add(r.start, end, &r.format);
        pos = end;
    }
    add(pos, n, &plain);
}

void Writer::collectTables() {
    for (const Segment& s : segments_) {
        const CharFormat& f = *s.format;
        if (!f.font.isEmpty() && !fonts_.contains(f.font)) {
            fonts_.insert(f.font, int(fontList_.size()) + 1);
            fontList_.append(f.font);
        }
        auto addColour = [this](BgrColor c) {
            c &= 0xFFFFFF;
            if (!colours_.contains(c)) {
                colourList_.append(c);
                colours_.insert(c, int(colourList_.size()));
            }
        };
        if (f.color != 0)
            addColour(f.color);
        if (f.highlight >= 0)
            addColour(f.highlight);
    }
}

void Writer::switchTo(const CharFormat& f) {
    const int before = int(out_.size());
    if (cur_.size > 0 && f.size <= 0) {
        // Only \plain returns to the default size; it resets everything else too.
        word("\\plain");
        cur_ = CharFormat();
    }
    if (f.font != cur_.font)
        word("\\f", fontNumber(f.font));
    if (f.size != cur_.size)
        word("\\fs", std::max(1LL, qRound64(f.size * 2)));
    if (f.bold != cur_.bold)
        word(f.bold ? "\\b" : "\\b0");
    if (f.italic != cur_.italic)
        word(f.italic ? "\\i" : "\\i0");
    if (f.underline != cur_.underline)
        word(f.underline ? "\\ul" : "\\ulnone");
    if ((f.color & 0xFFFFFF) != (cur_.color & 0xFFFFFF))
        word("\\cf", (f.color & 0xFFFFFF) ? colourNumber(f.color) : 0);
    if ((f.highlight < 0) != (cur_.highlight < 0) ||
        (f.highlight >= 0 && (f.highlight & 0xFFFFFF) != (cur_.highlight & 0xFFFFFF)))
        word("\\highlight", f.highlight >= 0 ? colourNumber(f.highlight) : 0);
    if (f.up != cur_.up) {
        if (f.up >= 0)
            word("\\up", f.up);
        else
            word("\\dn", -qint64(f.up));
    }
    if (out_.size() > before)
        out_ += QLatin1Char(' ');
    cur_ = f;
}

void Writer::hex(int byte) {
    static const char digits[] = "0123456789abcdef";
    out_ += QLatin1String("\\'");
    out_ += QLatin1Char(digits[(byte >> 4) & 0xF]);
    out_ += QLatin1Char(digits[byte & 0xF]);
}

void Writer::fontName(const QString& name) {
    for (QChar c : cleanFontName(name)) {
        if (c.unicode() < 0x7F) {
            out_ += c;
        } else {
            word("\\u", qint16(c.unicode()));
            out_ += QLatin1Char('?');
        }
    }
}

void Writer::writeChar(int i, char16_t c) {
    switch (c) {
    case u'\\':
        if (options_.markerStart >= 0 && i + 1 < text_.size() && text_[i + 1] == u'\'')
            hex(0x5C); // keeps "\'9d" and "\'81" from appearing after an escaped backslash
        else
            out_ += QLatin1String("\\\\");
        return;
    case u'{':
        out_ += QLatin1String("\\{");
        return;
    case u'}':
        out_ += QLatin1String("\\}");
        return;
    case u'\t':
        out_ += QLatin1String("\\tab ");
        return;
    default:
        break;
    }
    if (c >= 0x20 && c < 0x7F) {
        out_ += QChar(c);
        return;
    }
    if (c < 0x80) {
        hex(c); // control characters, a lone CR or LF among them
        return;
    }
    int byte = cp1252Byte(c);
    if (byte == 0x9D || byte == 0x81) {
        if (options_.markerStart >= 0 && i != options_.markerStart && i != options_.markerEnd)
            byte = 0;
    }
    if (byte) {
        hex(byte);
        return;
    }
    word("\\u", qint16(c));
    out_ += QLatin1Char('?');
}

void Writer::writeText(int from, int to) {
    const QChar* t = text_.constData();
    for (int i = from; i < to; ++i) {
        const char16_t c = t[i].unicode();
        if (c == u'\r' && i + 1 < to && t[i + 1] == u'\n') {
            out_ += QLatin1String("\\par\r\n");
            ++i;
            continue;
        }
        // Plain printable stretches are copied in one piece.
        if (c >= 0x20 && c < 0x7F && c != u'\\' && c != u'{' && c != u'}') {
            int j = i + 1;
            while (j < to) {
                const char16_t d = t[j].unicode();
                if (d < 0x20 || d >= 0x7F || d == u'\\' || d == u'{' || d == u'}')
                    break;
                ++j;
            }
            out_.append(t + i, j - i);
            i = j - 1;
            continue;
        }
        writeChar(i, c);
    }
}

QString Writer::run(const QString& defaultFont, double defaultSize) {
    collectSegments();
    collectTables();
    out_.reserve(text_.size() + text_.size() / 8 + segments_.size() * 16 + 256);

    word("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil ");
    fontName(defaultFont);
    word(";}");
    for (int k = 0; k < fontList_.size(); ++k) {
        word("{\\f", k + 1);
        word("\\fnil ");
        fontName(fontList_[k]);
        word(";}");
    }
    word("}\r\n");
    if (!colourList_.isEmpty()) {
        word("{\\colortbl ;");
        for (BgrColor c : colourList_) {
            word("\\red", bgrRed(c));
            word("\\green", bgrGreen(c));
            word("\\blue", bgrBlue(c));
            out_ += QLatin1Char(';');
        }
        word("}\r\n");
    }
    if (defaultSize > 0)
        word("{\\*\\defchp \\fs", std::max(1LL, qRound64(defaultSize * 2)));
    if (defaultSize > 0)
        word("}\r\n");
    word("\\viewkind4\\uc1\\pard ");

    for (const Segment& s : segments_) {
        switchTo(*s.format);
        writeText(s.start, s.end);
    }
    word("}\r\n");
    return out_;
}

} // namespace

namespace rtf {

QString write(const RichDocument& doc, const QString& defaultFont, double defaultSize) {
    return write(doc, defaultFont, defaultSize, WriteOptions());
}

QString write(const RichDocument& doc, const QString& defaultFont, double defaultSize,
              const WriteOptions& options) {
    return Writer(doc, options).run(defaultFont, defaultSize);
}

} // namespace rtf
