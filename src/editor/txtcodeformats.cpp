// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's formats: every character's CharFormat held as a Scintilla style, the
// colouring and highlighting commands, and the document as formatted runs (RTF).
#include "editor/txtcode.h"

#include <QHash>
#include <algorithm>

#include "editor/editorbuffer.h"
#include "text/rtf.h"

namespace {

// The styles of the last few formats looked up: the runs of a document mostly alternate
// among a handful of formats, and comparing two formats is cheaper than a table lookup.
// The formats are referenced, not copied: they must outlive the cache.
class RecentStyles {
public:
    template <typename Lookup> int styleOf(const CharFormat& f, Lookup lookup) {
        for (const Entry& e : entries_)
            if (e.format && *e.format == f)
                return e.style;
        Entry& slot = entries_[next_];
        next_ = (next_ + 1) % kSize;
        slot = {&f, lookup(f)};
        return slot.style;
    }

private:
    static constexpr int kSize = 4;
    struct Entry {
        const CharFormat* format = nullptr;
        int style = 0;
    };
    Entry entries_[kSize];
    int next_ = 0;
};

} // namespace

// ---- styles ------------------------------------------------------------------------------

int TxtCode::styleFor(const CharFormat& format) {
    bool added = false;
    const int style = styles_.styleFor(format, &added);
    if (added)
        defineStyle(style, format);
    return style;
}

void TxtCode::defineStyle(int style, const CharFormat& f) {
    SendScintilla(SCI_STYLESETFORE, (unsigned long)style, (long)f.color);
    SendScintilla(SCI_STYLESETBACK, (unsigned long)style,
                  (long)(f.highlight >= 0 ? f.highlight : 0xFFFFFF));
    SendScintilla(SCI_STYLESETBOLD, (unsigned long)style, (long)f.bold);
    SendScintilla(SCI_STYLESETITALIC, (unsigned long)style, (long)f.italic);
    SendScintilla(SCI_STYLESETUNDERLINE, (unsigned long)style, (long)f.underline);
    const QByteArray family = (f.font.isEmpty() ? editorFont_.family() : f.font).toUtf8();
    SendScintilla(SCI_STYLESETFONT, (uintptr_t)style, family.constData());
    const double size = f.size > 0 ? f.size : editorFont_.pointSizeF();
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, (unsigned long)style, (long)qRound(size * 100));
}

void TxtCode::refreshAllStyles() {
    defineStyle(STYLE_DEFAULT, CharFormat());
    styles_.forEach([this](int style, const CharFormat& f) { defineStyle(style, f); });
}

QByteArray TxtCode::stylesOf(qint64 start, qint64 end) const {
    if (end <= start)
        return QByteArray();
    // Scintilla gives text and style bytes interleaved; keep the style bytes in place
    // (no second buffer, no zero fill: at 10 MB both cost more than the copy).
    const qint64 n = end - start;
    QByteArray styled(2 * n + 2, Qt::Uninitialized);
    SendScintilla(SCI_GETSTYLEDTEXT, (long)start, (long)end, styled.data());
    char* d = styled.data();
    for (qint64 i = 0; i < n; ++i)
        d[i] = d[2 * i + 1];
    styled.truncate(n);
    return styled;
}

void TxtCode::setStyles(qint64 start, const QByteArray& styles) {
    if (styles.isEmpty())
        return;
    SendScintilla(SCI_STARTSTYLING, (unsigned long)start, 0L);
    SendScintilla(SCI_SETSTYLINGEX, (uintptr_t)styles.size(), styles.constData());
}

// ---- formats -----------------------------------------------------------------------------

template <class Change> void TxtCode::restyle(qint64 start, qint64 end, Change change) {
    // One style lookup per change of the old style, not per byte.
    QByteArray st = stylesOf(start, end);
    int lastOld = -1, lastNew = 0;
    for (char& c : st) {
        const int old = static_cast<unsigned char>(c);
        if (old != lastOld) {
            CharFormat f = styles_.format(old);
            change(f);
            lastOld = old;
            lastNew = styleFor(f);
        }
        c = char(lastNew);
    }
    setStyles(start, st);
}

const CharFormat& TxtCode::formatOfByte(qint64 bytePos) const {
    return styles_.format(
        static_cast<unsigned char>(SendScintilla(SCI_GETSTYLEAT, (unsigned long)bytePos)));
}

void TxtCode::SetSelColor(BgrColor color) {
    const qint64 s = SendScintilla(SCI_GETSELECTIONSTART);
    const qint64 e = SendScintilla(SCI_GETSELECTIONEND);
    if (e <= s) {
        CharFormat f = s > 0 ? formatOfByte(s - 1) : CharFormat();
        f.color = color;
        pendingStyle_ = styleFor(f);
        pendingPos_ = s;
        return;
    }
    restyle(s, e, [color](CharFormat& f) { f.color = color; });
}

BgrColor TxtCode::SelColor() const {
    const qint64 s = SendScintilla(SCI_GETSELECTIONSTART);
    const qint64 e = SendScintilla(SCI_GETSELECTIONEND);
    if (e <= s && pendingStyle_ >= 0 && pendingPos_ == s)
        return styles_.format(pendingStyle_).color;
    if (e <= s)
        return s > 0 ? formatOfByte(s - 1).color : 0;
    return formatOfByte(s).color;
}

CharFormat TxtCode::formatAt(int pos) const {
    const qint64 b = toBytePos(pos);
    if (b >= byteLength())
        return CharFormat();
    return formatOfByte(b);
}

void TxtCode::applyColors(const QVector<ColorSpan>& spans) {
    if (spans.isEmpty())
        return;
    // Positions are converted walking the UTF-8 text forward from the previous one, which
    // costs the distance between them; a position far ahead or behind is converted on its
    // own through the line index.
    const qint64 len = byteLength();
    const char* text = EditorBuffer(*this).whole().data();
    constexpr int kWalkLimit = 4096;
    Utf16Walker walker(text, len);
    auto convert = [&](int pos) -> qint64 {
        if (text && pos >= walker.unit() && pos - walker.unit() <= kWalkLimit &&
            walker.advanceTo(pos))
            return walker.byte();
        const qint64 b = toBytePos(pos);
        walker.reset(b, toCharPos(b));
        return b;
    };
    // Work on the bytes from the first to the last span in one buffer. Byte positions
    // grow with character positions, so the stretch follows from the extreme spans.
    int first = -1, last = -1;
    for (const ColorSpan& sp : spans) {
        if (sp.length <= 0)
            continue;
        first = first < 0 ? sp.start : qMin(first, sp.start);
        last = qMax(last, sp.start + sp.length);
    }
    if (first < 0)
        return;
    const qint64 lo = toBytePos(first);
    const qint64 hi = toBytePos(last);
    if (hi <= lo)
        return;
    QByteArray st = stylesOf(lo, hi);
    char* sd = st.data();
    QHash<quint64, int> recoloured; // (old style, colour) -> style
    for (int i = 0; i < spans.size(); ++i) {
        const qint64 a = qMax(lo, convert(spans[i].start));
        const qint64 b = qMin(hi, convert(spans[i].start + qMax(0, spans[i].length)));
        const quint64 colorKey = quint64(quint32(spans[i].color)) << 8;
        int lastOld = -1, lastNew = 0;
        for (qint64 p = a; p < b; ++p) {
            const int old = static_cast<unsigned char>(sd[p - lo]);
            if (old != lastOld) {
                const quint64 key = colorKey | quint64(old);
                auto it = recoloured.constFind(key);
                if (it == recoloured.constEnd()) {
                    CharFormat f = styles_.format(old);
                    f.color = spans[i].color;
                    lastNew = styleFor(f);
                    recoloured.insert(key, lastNew);
                } else {
                    lastNew = it.value();
                }
                lastOld = old;
            }
            sd[p - lo] = char(lastNew);
        }
    }
    setStyles(lo, st);
}

RichDocument TxtCode::richDocument() const {
    RichDocument doc;
    doc.text = Text();
    const qint64 len = byteLength();
    if (len == 0)
        return doc;
    const QByteArray st = stylesOf(0, len);
    Utf16Walker walker(EditorBuffer(*this).whole().data(), len);
    int runStyle = -1;
    FormatRun run;
    while (!walker.atEnd()) {
        const int s = static_cast<unsigned char>(st[walker.byte()]);
        if (s != runStyle) {
            if (runStyle >= 0 && run.length > 0)
                doc.runs.append(run);
            run = FormatRun{walker.unit(), 0, styles_.format(s)};
            runStyle = s;
        }
        run.length += walker.step();
    }
    if (runStyle >= 0 && run.length > 0)
        doc.runs.append(run);
    return doc;
}

void TxtCode::setRichDocument(const RichDocument& doc) {
    SetText(doc.text);
    if (doc.runs.isEmpty())
        return;
    const qint64 len = byteLength();
    QByteArray st(len, '\0');
    // Walk the text once, UTF-16 and byte positions together.
    Utf16Walker walker(EditorBuffer(*this).whole().data(), len);
    RecentStyles recent;
    for (const FormatRun& run : doc.runs) {
        if (run.start < walker.unit() || run.length <= 0)
            continue;
        walker.advancePast(run.start);
        const qint64 from = walker.byte();
        walker.advancePast(run.start + run.length);
        const char style =
            char(recent.styleOf(run.format, [this](const CharFormat& f) { return styleFor(f); }));
        std::fill(st.data() + from, st.data() + walker.byte(), style);
    }
    setStyles(0, st);
}

QString TxtCode::TextRTF() const {
    return rtf::write(richDocument(), editorFont_.family(), editorFont_.pointSizeF());
}

void TxtCode::SetTextRTF(const QString& rtfText) {
    if (rtfText.startsWith(QLatin1String("{\\rtf")))
        setRichDocument(rtf::read(rtfText));
    else
        SetText(rtfText);
}
